// The main window in each of its states, light and dark: the layout facts that matter are
// checked, and with PLENVO_SCREENSHOT_DIR set every state is also saved as a PNG. The result
// shown is a home folder built in memory, so no path of the machine appears in a picture.

#include "SampleHome.h"
#include "TestSupport.h"
#include "ViewTestSupport.h"

#include "ChangesTracker.h"
#include "HistoryKeeper.h"
#include "analysis/CategoriesView.h"
#include "analysis/ChangesList.h"
#include "analysis/ChangesModel.h"
#include "analysis/ChangesView.h"
#include "analysis/FileOperationList.h"
#include "analysis/LargeFilesView.h"
#include "services/NcduWriter.h"
#include "shell/AboutView.h"
#include "shell/DirectoryPickerSheet.h"
#include "shell/ScanningProgressView.h"
#include "shell/ToastView.h"
#include "shell/WelcomeView.h"

#include <QDir>
#include <QPushButton>
#include <QScrollArea>
#include <QSemaphore>
#include <QSplitter>

using namespace plenvo;
using namespace plenvo::test;

namespace {

// The main window at a desktop's size (larger than the test screen).
struct Screen : WindowFixture {
    Screen()
    {
        window.resize(1280, 820);
        window.show();
    }
};

} // namespace

class ScreensTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        setUpViewTests();
        m_lightPalette = QApplication::palette();
        m_dir = qEnvironmentVariable("PLENVO_SCREENSHOT_DIR");
        if (!m_dir.isEmpty())
            QDir().mkpath(m_dir);
    }
    // Each test runs once in the light palette and once in the dark one.
    void init()
    {
        QFETCH(bool, dark);
        QApplication::setPalette(dark ? darkPalette() : m_lightPalette);
        m_suffix = dark ? QStringLiteral("-dark") : QStringLiteral("-light");
    }
    void cleanup() { QApplication::setPalette(m_lightPalette); }

    void everyState_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }
    void everyState()
    {
        ScratchDir dir;
        QVERIFY(writeFile(dir.file("notes.txt"), 100));
        Screen s;
        AppState& state = s.state;
        ContentView& content = s.content();
        QVERIFY(QTest::qWaitForWindowExposed(&s.window));

        // Welcome: the sidebar at its ideal width, nothing above the detail area.
        QCOMPARE(content.findChild<QSplitter*>()->sizes().front(), 220);
        save(s.window, "welcome");

        // Scanning: the progress view fills the detail area. The scan waits in its first listing
        // while the picture is taken, which shows a neutral location.
        QSemaphore listing;
        s.beforeListing = [&](std::string_view) { listing.acquire(); };
        state.scanDirectory(dir.str());
        auto* progress = qobject_cast<ScanningProgressView*>(content.detailWidget());
        QVERIFY(progress);
        progress->setProgress(
            ScanProgress::scanning(QStringLiteral("/home/user/Photos/2025"), 48213));
        save(s.window, "scanning");
        listing.release(2);
        QTRY_VERIFY(!state.isScanning());
        s.beforeListing = {};
        state.showResult(sampleHome());

        // The overview and the treemap of the result.
        save(s.window, "overview");
        state.setNavigationSelection(SidebarItem::treeMap);
        save(s.window, "treemap");

        // A result: the header row with the folder's pill; Large Files opens the inspector.
        QCOMPARE(content.headerRow()->geometry().top(), 0);
        state.setNavigationSelection(SidebarItem::largeFiles);
        QTRY_COMPARE(content.inspectorColumn()->width(), 260);
        QCOMPARE(state.selectedNode(), state.scanResult()->topFiles().front());
        QCOMPARE(content.inspectorColumn()->geometry().right(),
                 content.inspectorColumn()->parentWidget()->width() - 1);
        save(s.window, "large-files-inspector");

        // Three files chosen with the keyboard: the bar sums them up.
        auto* large = qobject_cast<LargeFilesView*>(content.detailWidget());
        QVERIFY(large);
        large->list()->setFocus();
        QTest::keyClick(large->list(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(large->list(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(large->selection()->selectedIds().size(), size_t(3));
        save(s.window, "large-files-selection");

        // The inspector of a folder.
        state.setSelectedNode(NodeRef(state.scanResult()->topFiles().front()->parent()));
        save(*content.inspectorColumn(), "inspector-folder");

        // Categories: the largest one chosen, its first file in the inspector.
        state.setNavigationSelection(SidebarItem::categories);
        auto* categories = qobject_cast<CategoriesView*>(content.detailWidget());
        QVERIFY(categories);
        QCOMPARE(categories->selectedCategory(),
                 state.scanResult()->categoryStat().front().category);
        save(s.window, "categories");

        // A toast over the top, across the whole window.
        state.setToastMessage(L("delete.done.batch %lld %@", qint64(3), QStringLiteral("1.2 MB")));
        QTRY_COMPARE(content.toastView()->height(), content.toastView()->sizeHint().height());
        QCOMPARE(content.toastView()->width(), content.width());
        save(s.window, "toast");
        state.setToastMessage(std::nullopt);

        // The picker sheet.
        state.setShowDirectoryPicker(true);
        QTRY_VERIFY(content.pickerSheet() && content.pickerSheet()->isVisible());
        save(*content.pickerSheet(), "picker");
        state.setShowDirectoryPicker(false);
        QTRY_VERIFY(!content.pickerSheet()->isVisible());

        s.window.showAbout();
        QTRY_VERIFY(s.window.aboutView()->isVisible());
        save(*s.window.aboutView(), "about");
    }

    // A scan saved to a file and opened: the overview, and Large Files with the Trash off and
    // the note that says why.
    void openedScan_data() { everyState_data(); }
    void openedScan()
    {
        ScratchDir dir;
        const std::string saved = dir.file("home.json.gz").toStdString();
        const std::shared_ptr<ScanResult> home = sampleHome();
        QVERIFY(NcduWriter::writeFile(saved, *home->rootNode(), nullptr, {kScanDate / 1000, "1"})
                    .error.isEmpty());
        Screen s;
        QVERIFY(QTest::qWaitForWindowExposed(&s.window));
        s.state.openScan(saved);
        QTRY_VERIFY(s.state.isReadOnly());
        save(s.window, "opened-overview");
        s.state.setNavigationSelection(SidebarItem::largeFiles);
        QTRY_COMPARE(s.content().inspectorColumn()->width(), 260);
        auto* large = qobject_cast<LargeFilesView*>(s.content().detailWidget());
        QVERIFY(large && large->bar()->readOnlyNote()->isVisible());
        save(s.window, "opened-large-files");
    }

    // Scans of the sample home kept in a history of this test's own: the welcome screen lists
    // them; the changes since the earlier one, large with the inspector, inside a folder, and at
    // the window's least size.
    void history_data() { everyState_data(); }
    void history()
    {
        ScratchDir dir;
        const QByteArray oldState = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", dir.file("state"));
        constexpr std::int64_t MB = 1000 * 1000, day = 24LL * 3600 * 1000;
        std::vector<Entry> before;
        for (Entry entry : sampleHomeEntries()) {
            if (entry.path == "Downloads/ubuntu-24.04-desktop-amd64.iso" ||
                entry.path == "Videos/Holiday in Lisbon 2025.mp4" ||
                entry.path.starts_with("Photos/Raw/"))
                continue; // new since
            if (entry.path == ".cache/browser/index.tmp")
                entry.size = 210 * MB; // grew since
            if (entry.path == "Projects/atlas/build/libatlas.a")
                entry.size = 520 * MB; // shrank since
            before.push_back(entry);
        }
        before.push_back({"Downloads/old-backup.tar", 2600 * MB});
        before.push_back({"Videos/Old cuts/take-1.mov", 900 * MB});
        before.push_back({"Videos/Old cuts/take-2.mov", 640 * MB});
        const ScanHistory kept(ScanHistory::defaultFolder());
        QVERIFY(kept.save({makeTree("/home/user", before), nullptr, "/home/user", kScanDate - 9 * day})
                    .status == ScanHistory::SaveOutcome::Status::saved);
        QVERIFY(kept.save({makeTree("/home/user/Projects", {{"atlas/build/atlas", 180 * MB}}),
                           nullptr, "/home/user/Projects", kScanDate - 2 * day})
                    .status == ScanHistory::SaveOutcome::Status::saved);
        QVERIFY(kept.save({makeTree("/media/backup", {{"2025/photos.tar", 48000 * MB}}), nullptr,
                           "/media/backup", kScanDate - 30 * day})
                    .status == ScanHistory::SaveOutcome::Status::saved);
        {
            Screen s;
            QVERIFY(QTest::qWaitForWindowExposed(&s.window));
            auto* welcome = qobject_cast<WelcomeView*>(s.content().detailWidget());
            QVERIFY(welcome);
            QTRY_COMPARE(welcome->recentScans()->model()->rowCount(), 3);
            save(s.window, "welcome-recent");

            s.state.showResult(sampleHome());
            QTRY_VERIFY(s.state.changes().isAvailable());
            s.state.setNavigationSelection(SidebarItem::changes);
            auto* changes = qobject_cast<ChangesView*>(s.content().detailWidget());
            QVERIFY(changes);
            QTRY_VERIFY(changes->model()->rowCount() > 0 && !changes->isUpdating());
            QTRY_COMPARE(s.content().inspectorColumn()->width(), 260);
            changes->list()->setFocus();
            changes->list()->setCurrentIndex(changes->model()->index(0, 0));
            save(s.window, "changes");
            QVERIFY(changes->list()->openFocusRow());
            changes->list()->setCurrentIndex(changes->model()->index(0, 0));
            save(s.window, "changes-folder");
            changes->model()->goHome();
            s.window.resize(MainWindow::kMinimumSize);
            save(s.window, "changes-small");

            // A kept scan opened: read-only, with the way to scan its folder again.
            s.window.resize(1280, 820);
            s.state.openScan(s.state.changes().earlier()->file);
            QTRY_VERIFY(s.state.isReadOnly());
            QTRY_VERIFY(s.content().rescanButton()->isVisible());
            save(s.window, "recent-opened");
        }
        qputenv("XDG_STATE_HOME", oldState);
    }

    // A category of more than a page of files, after Show More, in a view of its own.
    void categoriesPaged_data() { everyState_data(); }
    void categoriesPaged()
    {
        std::vector<Entry> entries = sampleHomeEntries();
        for (int i = 0; i < 1200; ++i)
            entries.push_back({"Photos/Phone/IMG_" + std::to_string(2000 + i) + ".heic",
                               1'500'000 + (i * 7919) % 2'000'000, kScanDate - i * 3'600'000LL});
        ViewFixture f("/home/user", entries);
        CategoriesView view(f.state, f.fileManager, f.clipboard);
        view.resize(1100, 720);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.selectCategory(FileCategory::images);
        view.showMore();
        QCOMPARE(view.model()->rowCount(), 1000);
        // With room to spare the left pane has its ideal width.
        QCOMPARE(view.findChild<QScrollArea*>(QStringLiteral("categoriesPane"))->width(), 320);
        save(view, "categories-more");
    }

private:
    void save(QWidget& widget, const char* name)
    {
        QTest::qWait(300); // layouts settle and animations end
        const QPixmap shot = widget.grab();
        QVERIFY(!shot.isNull());
        if (!m_dir.isEmpty())
            QVERIFY(
                shot.save(m_dir + u'/' + QLatin1String(name) + m_suffix + QStringLiteral(".png")));
    }

    QPalette m_lightPalette;
    QString m_dir;
    QString m_suffix;
};

QTEST_MAIN(ScreensTest)
#include "tst_screens.moc"
