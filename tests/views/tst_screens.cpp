// The main window in each of its states, light and dark: the layout facts that matter are
// checked, and with PLENVO_SCREENSHOT_DIR set every state is also saved as a PNG. The result
// shown is a home folder built in memory, so no path of the machine appears in a picture.

#include "FakeClipboard.h"
#include "FakeFileManager.h"
#include "FakeFolderPanel.h"
#include "SampleHome.h"
#include "TestSupport.h"
#include "ViewTestSupport.h"
#include "state/FakeTrash.h"

#include "AppState.h"
#include "analysis/AnalysisViewFactory.h"
#include "analysis/CategoriesView.h"
#include "analysis/FileListModel.h"
#include "analysis/FileOperationBar.h"
#include "analysis/FileOperationList.h"
#include "analysis/FileSelectionModel.h"
#include "analysis/LargeFilesView.h"
#include "services/NcduWriter.h"
#include "shell/AboutView.h"
#include "shell/ContentView.h"
#include "shell/DirectoryPickerSheet.h"
#include "shell/MainWindow.h"
#include "shell/ScanningProgressView.h"
#include "shell/SidebarView.h"
#include "shell/ToastView.h"
#include "theme/StyledLabel.h"
#include "utils/Localization.h"

#include <QApplication>
#include <QDir>
#include <QScrollArea>
#include <QSemaphore>
#include <QSplitter>
#include <QStyleFactory>
#include <QTest>

using namespace plenvo;
using namespace plenvo::test;

class ScreensTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        Localization::setLanguage(u"en");
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        m_lightPalette = QApplication::palette();
        m_dir = qEnvironmentVariable("PLENVO_SCREENSHOT_DIR");
        if (!m_dir.isEmpty())
            QDir().mkpath(m_dir);
    }

    void everyState_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }

    void everyState()
    {
        QFETCH(bool, dark);
        QApplication::setPalette(dark ? darkPalette() : m_lightPalette);
        const QString suffix = dark ? QStringLiteral("-dark") : QStringLiteral("-light");

        ScratchDir dir;
        QVERIFY(writeFile(dir.file("notes.txt"), 100));

        AppState state(std::make_shared<FakeTrash>());
        FakeFolderPanel panel;
        FakeFileManager fileManager;
        FakeClipboard clipboard;
        AnalysisViewFactory factory(fileManager, clipboard);
        MainWindow window(state, panel, factory);
        window.resize(1280, 820); // larger than the test screen, as on a desktop
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ContentView& content = *window.contentView();

        // Welcome: the sidebar at its ideal width, nothing above the detail area.
        auto* splitter = content.findChild<QSplitter*>();
        QCOMPARE(splitter->sizes().front(), 220);
        QVERIFY(!content.headerRow()->isVisible());
        save(window, QStringLiteral("welcome") + suffix);

        // Scanning: the progress view fills the detail area. The scan waits in its first listing
        // while the picture is taken, which shows a neutral location.
        QSemaphore listing;
        state.scanner().setListingHook([&](std::string_view) { listing.acquire(); });
        state.scanDirectory(dir.str());
        auto* progress = qobject_cast<ScanningProgressView*>(content.detailWidget());
        QVERIFY(progress);
        progress->setProgress(
            ScanProgress::scanning(QStringLiteral("/home/user/Photos/2025"), 48213));
        save(window, QStringLiteral("scanning") + suffix);
        QVERIFY(state.isScanning());
        listing.release(2);
        QTRY_VERIFY(!state.isScanning());
        state.scanner().setListingHook({});
        state.showResult(sampleHome());

        // The overview and the treemap of the result.
        QCOMPARE(content.shownDestination(), SidebarItem::overview);
        save(window, QStringLiteral("overview") + suffix);
        state.setNavigationSelection(SidebarItem::treeMap);
        save(window, QStringLiteral("treemap") + suffix);

        // A result: the header row with the folder's pill; Large Files opens the inspector.
        QVERIFY(content.headerRow()->isVisible());
        QCOMPARE(content.headerRow()->geometry().top(), 0);
        state.setNavigationSelection(SidebarItem::largeFiles);
        QTRY_COMPARE(content.inspectorColumn()->width(), 260);
        QCOMPARE(state.selectedNode(), state.scanResult()->topFiles().front());
        QCOMPARE(content.inspectorColumn()->geometry().right(),
                 content.inspectorColumn()->parentWidget()->width() - 1);
        save(window, QStringLiteral("large-files-inspector") + suffix);

        // Three files chosen with the keyboard: the bar sums them up.
        auto* large = qobject_cast<LargeFilesView*>(content.detailWidget());
        QVERIFY(large);
        large->list()->setFocus();
        QTest::keyClick(large->list(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(large->list(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(large->selection()->selectedIds().size(), size_t(3));
        save(window, QStringLiteral("large-files-selection") + suffix);

        // The inspector of a folder.
        state.setSelectedNode(NodeRef(state.scanResult()->topFiles().front()->parent()));
        save(*content.inspectorColumn(), QStringLiteral("inspector-folder") + suffix);

        // Categories: the largest one chosen, its first file in the inspector.
        state.setNavigationSelection(SidebarItem::categories);
        auto* categories = qobject_cast<CategoriesView*>(content.detailWidget());
        QVERIFY(categories);
        QCOMPARE(categories->selectedCategory(),
                 state.scanResult()->categoryStat().front().category);
        save(window, QStringLiteral("categories") + suffix);

        // A toast over the top, across the whole window.
        state.setToastMessage(L("delete.done.batch %lld %@", qint64(3), QStringLiteral("1.2 MB")));
        QTRY_COMPARE(content.toastView()->height(), content.toastView()->sizeHint().height());
        QCOMPARE(content.toastView()->width(), content.width());
        save(window, QStringLiteral("toast") + suffix);
        state.setToastMessage(std::nullopt);

        // The picker sheet.
        state.setShowDirectoryPicker(true);
        QTRY_VERIFY(content.pickerSheet() && content.pickerSheet()->isVisible());
        save(*content.pickerSheet(), QStringLiteral("picker") + suffix);
        state.setShowDirectoryPicker(false);
        QTRY_VERIFY(!content.pickerSheet()->isVisible());

        window.showAbout();
        QTRY_VERIFY(window.aboutView()->isVisible());
        QCOMPARE(window.aboutView()->width(), 300);
        save(*window.aboutView(), QStringLiteral("about") + suffix);
        QApplication::setPalette(m_lightPalette);
    }

    // A scan saved to a file and opened: the overview, and Large Files with the Trash off and
    // the note that says why.
    void openedScan_data() { everyState_data(); }
    void openedScan()
    {
        QFETCH(bool, dark);
        QApplication::setPalette(dark ? darkPalette() : m_lightPalette);
        const QString suffix = dark ? QStringLiteral("-dark") : QStringLiteral("-light");
        ScratchDir dir;
        const std::string saved = dir.file("home.json.gz").toStdString();
        const std::shared_ptr<ScanResult> home = sampleHome();
        QVERIFY(NcduWriter::writeFile(saved, *home->rootNode(), nullptr, {kScanDate / 1000, "1"})
                    .error.isEmpty());
        AppState state(std::make_shared<FakeTrash>());
        FakeFolderPanel panel;
        FakeFileManager fileManager;
        FakeClipboard clipboard;
        AnalysisViewFactory factory(fileManager, clipboard);
        MainWindow window(state, panel, factory);
        window.resize(1280, 820);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        state.openScan(saved);
        QTRY_VERIFY(state.isReadOnly());
        QCOMPARE(state.scanResult()->totalSize(), home->totalSize());
        save(window, QStringLiteral("opened-overview") + suffix);
        state.setNavigationSelection(SidebarItem::largeFiles);
        ContentView& content = *window.contentView();
        QTRY_COMPARE(content.inspectorColumn()->width(), 260);
        auto* large = qobject_cast<LargeFilesView*>(content.detailWidget());
        QVERIFY(large && large->bar()->readOnlyNote()->isVisible());
        save(window, QStringLiteral("opened-large-files") + suffix);
        QApplication::setPalette(m_lightPalette);
    }

    // A category of more than a page of files, after Show More, in a view of its own.
    void categoriesPaged_data() { everyState_data(); }
    void categoriesPaged()
    {
        QFETCH(bool, dark);
        QApplication::setPalette(dark ? darkPalette() : m_lightPalette);
        std::vector<Entry> entries = sampleHomeEntries();
        for (int i = 0; i < 1200; ++i)
            entries.push_back({"Photos/Phone/IMG_" + std::to_string(2000 + i) + ".heic",
                               1'500'000 + (i * 7919) % 2'000'000, kScanDate - i * 3'600'000LL});
        AppState state(std::make_shared<FakeTrash>());
        state.showResult(makeResult("/home/user", entries));
        FakeFileManager fileManager;
        FakeClipboard clipboard;
        CategoriesView view(state, fileManager, clipboard);
        view.resize(1100, 720);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.selectCategory(FileCategory::images);
        view.showMore();
        QCOMPARE(view.model()->rowCount(), 1000);
        // With room to spare the left pane has its ideal width.
        QCOMPARE(view.findChild<QScrollArea*>(QStringLiteral("categoriesPane"))->width(), 320);
        save(view, QStringLiteral("categories-more") + (dark ? "-dark" : "-light"));
        QApplication::setPalette(m_lightPalette);
    }

private:
    void save(QWidget& widget, const QString& name)
    {
        QTest::qWait(300); // layouts settle and animations end
        const QPixmap shot = widget.grab();
        QVERIFY(!shot.isNull());
        if (!m_dir.isEmpty())
            QVERIFY(shot.save(m_dir + QLatin1Char('/') + name + QStringLiteral(".png")));
    }

    QPalette m_lightPalette;
    QString m_dir;
};

QTEST_MAIN(ScreensTest)
#include "tst_screens.moc"
