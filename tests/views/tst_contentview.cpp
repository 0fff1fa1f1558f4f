#include "FakeClipboard.h"
#include "FakeFileManager.h"
#include "FakeFolderPanel.h"
#include "TestSupport.h"
#include "state/FakeTrash.h"

#include "AppState.h"
#include "analysis/AnalysisViewFactory.h"
#include "shell/AboutView.h"
#include "shell/ContentView.h"
#include "shell/DeleteBanner.h"
#include "shell/DirectoryPickerSheet.h"
#include "shell/DiskUsageMiniBar.h"
#include "shell/MainWindow.h"
#include "shell/ScanningProgressView.h"
#include "shell/ToastView.h"
#include "shell/WelcomeView.h"
#include "theme/StyledLabel.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace plenvo;
using namespace plenvo::test;

namespace {

struct Window {
    explicit Window(std::shared_ptr<Trash> trash = nullptr)
        : state(std::move(trash)), window(state, panel, factory)
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    ContentView& content() { return *window.contentView(); }
    bool scan(const QByteArray& path)
    {
        state.scanDirectory(path.toStdString());
        return QTest::qWaitFor([&] { return !state.isScanning(); }, 20000) && state.scanResult();
    }
    bool inspectorVisible()
    {
        QWidget* column = content().inspectorColumn();
        return column->isVisible() && column->width() > 0;
    }
    QAction* action(const char* name)
    {
        return window.findChild<QAction*>(QString::fromLatin1(name));
    }

    AppState state;
    FakeFolderPanel panel;
    FakeFileManager fileManager;
    FakeClipboard clipboard;
    AnalysisViewFactory factory{fileManager, clipboard};
    MainWindow window;
};

QByteArray smallTree(const ScratchDir& dir)
{
    makeDir(dir.file("sub"));
    writeFile(dir.file("sub/movie.mkv"), 40000);
    writeFile(dir.file("notes.txt"), 100);
    return dir.path();
}

} // namespace

class ContentViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Localization::setLanguage(u"en"); }

    void withoutAResultTheWelcomeScreenShows()
    {
        Window w;
        QCOMPARE(w.content().detail(), ContentView::Detail::welcome);
        QVERIFY(qobject_cast<WelcomeView*>(w.content().detailWidget()));
        QVERIFY(!w.content().headerRow()->isVisible());
        QVERIFY(!w.content().inspectorColumn()->isVisible());
        QCOMPARE(w.window.windowTitle(), QStringLiteral("Plenvo"));
        // The destination commands work without a result, and the welcome screen stays.
        w.action("Large FilesAction")->trigger();
        QCOMPARE(w.state.navigationSelection(),
                 std::optional(SidebarItem(SidebarItem::largeFiles)));
        QCOMPARE(w.content().detail(), ContentView::Detail::welcome);
        QVERIFY(!w.content().supportsInspector());
    }

    void scanningShowsTheProgressWhateverTheDestination()
    {
        ScratchDir dir;
        Window w;
        QVERIFY(w.scan(smallTree(dir)));
        w.state.setNavigationSelection(SidebarItem::largeFiles);
        QVERIFY(w.content().isInspectorShown());
        w.state.scanDirectory(dir.str());
        QCOMPARE(w.content().detail(), ContentView::Detail::scanning);
        QVERIFY(qobject_cast<ScanningProgressView*>(w.content().detailWidget()));
        QVERIFY(w.content().headerRow()->isVisible()); // the earlier result is still there
        QVERIFY(!w.content().supportsInspector());
        QVERIFY(!w.content().inspectorToggle()->isVisible());
        QTRY_VERIFY(!w.inspectorVisible());
        // The inspector command does nothing meanwhile.
        const bool before = w.content().showInspector();
        w.action("toggleInspectorAction")->trigger();
        QCOMPARE(w.content().showInspector(), before);
        QTRY_VERIFY(!w.state.isScanning());
        QCOMPARE(w.content().detail(), ContentView::Detail::analysis);
        QCOMPARE(w.content().shownDestination(), SidebarItem::overview);
    }

    void eachDestinationHasItsView_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("shown");
        QTest::addColumn<bool>("inspector");
        const auto row = [](SidebarItem item, SidebarItem shown, bool inspector) {
            QTest::newRow(qPrintable(item.id())) << int(item) << int(shown) << inspector;
        };
        row(SidebarItem::overview, SidebarItem::overview, false);
        row(SidebarItem::treeMap, SidebarItem::treeMap, false);
        row(SidebarItem::largeFiles, SidebarItem::largeFiles, true);
        row(SidebarItem::categories, SidebarItem::categories, true);
        row(SidebarItem::duplicates, SidebarItem::overview, false);
        row(SidebarItem::caches, SidebarItem::overview, false);
        row(SidebarItem::cleanup, SidebarItem::overview, false);
    }

    void eachDestinationHasItsView()
    {
        QFETCH(int, item);
        QFETCH(int, shown);
        QFETCH(bool, inspector);
        ScratchDir dir;
        Window w;
        QVERIFY(w.scan(smallTree(dir)));
        // Coming from Large Files with a selection, so that leaving it shows.
        w.state.setNavigationSelection(SidebarItem::largeFiles);
        const NodeRef file = w.state.scanResult()->topFiles().front();
        w.state.setSelectedNode(file);
        w.state.setInspectorCandidateNodes({file});
        w.state.setNavigationSelection(SidebarItem(SidebarItem::Value(item)));

        QCOMPARE(w.content().detail(), ContentView::Detail::analysis);
        QCOMPARE(int(w.content().shownDestination()), shown);
        QVERIFY(w.content().headerRow()->isVisible());
        // The pill names the folder, whole, and its total size.
        auto* pill = w.content().headerRow()->findChild<DiskUsageMiniBar*>();
        QCOMPARE(pill->nameText(), QFileInfo(QString::fromLocal8Bit(dir.path())).fileName());
        auto* name = pill->findChildren<StyledLabel*>().front();
        QTRY_COMPARE(name->text(), pill->nameText());
        QCOMPARE(pill->sizeText(),
                 FormatUtils::formatBytesCompact(w.state.scanResult()->totalSize()));
        QCOMPARE(w.content().isInspectorShown(), inspector);
        QCOMPARE(w.content().inspectorToggle()->isVisible(), inspector);
        QTRY_COMPARE(w.inspectorVisible(), inspector);
        if (inspector) {
            QCOMPARE(w.state.selectedNode(), file); // between the two list views it stays
            QTRY_COMPARE(w.content().inspectorColumn()->width(), ContentView::kInspectorWidth);
        } else {
            QVERIFY(!w.state.selectedNode());
            QVERIFY(w.state.inspectorCandidateNodes().empty());
        }
    }

    void theInspectorTogglesOnlyWhereItIsSupported()
    {
        ScratchDir dir;
        Window w;
        QVERIFY(w.scan(smallTree(dir)));
        QAction* toggle = w.action("toggleInspectorAction");
        toggle->trigger(); // overview: nothing
        QVERIFY(!w.content().showInspector());
        w.state.setNavigationSelection(SidebarItem::categories);
        QVERIFY(w.content().showInspector());
        QCOMPARE(w.content().inspectorToggle()->toolTip(), L("toolbar.hideInspector"));
        QVERIFY(w.content().inspectorToggle()->isChecked());
        QTest::keyClick(&w.window, Qt::Key_I, Qt::ControlModifier);
        QVERIFY(!w.content().showInspector());
        QTRY_VERIFY(!w.inspectorVisible());
        QCOMPARE(w.content().inspectorToggle()->toolTip(), L("toolbar.showInspector"));
        QVERIFY(!w.content().inspectorToggle()->isChecked());
        w.content().inspectorToggle()->click();
        QVERIFY(w.content().showInspector());
        QTRY_VERIFY(w.inspectorVisible());
        // Choosing the same destination again changes nothing.
        w.content().inspectorToggle()->click();
        w.state.setNavigationSelection(SidebarItem::categories);
        QVERIFY(!w.content().showInspector());
    }

    void theBannerShowsTheProgressOfABatch()
    {
        DeleteBanner banner;
        banner.setProgress(0, 0);
        QCOMPARE(banner.text(), L("delete.inProgress"));
        QVERIFY(banner.percentText().isEmpty());
        QVERIFY(!banner.showsBar());
        banner.setProgress(3, 4);
        QCOMPARE(banner.text(), L("delete.progress %lld %lld", qint64(3), qint64(4)));
        QCOMPARE(banner.percentText(), QStringLiteral("75%"));
        QVERIFY(banner.showsBar());
        QCOMPARE(banner.barValue() * 4, banner.barMaximum() * 3);
        banner.setProgress(1, 3);
        QCOMPARE(banner.percentText(), QStringLiteral("33%"));
    }

    void theToastComesGoesOnAClickAndStacksBelowTheBanner()
    {
        ScratchDir dir;
        auto trash = std::make_shared<FakeTrash>();
        Window w(trash);
        QVERIFY(w.scan(smallTree(dir)));
        ToastView* toast = w.content().toastView();
        DeleteBanner* banner = w.content().deleteBanner();
        // A refused move makes a toast.
        NodeRef ghost = FileNode::create("ghost.txt", "/nonexistent/ghost.txt", false, 1, {}, {});
        trash->refuse(ghost->pathBytes());
        w.state.deleteFile(ghost);
        QTRY_VERIFY(toast->isVisible() && toast->height() == toast->sizeHint().height());
        QCOMPARE(toast->message(), L("delete.failed %@", QStringLiteral("ghost.txt")));
        QCOMPARE(toast->mapTo(&w.content(), QPoint(0, 0)).y(), 0);

        // With a batch running, the banner sits on top and the toast right below it.
        // With a batch running (held until released), the banner sits on top and the toast
        // right below it.
        trash->hold();
        w.state.setToastMessage(QStringLiteral("still here"));
        w.state.deleteFiles({FileNode::create("a", "/nonexistent/a", false, 1, {}, {}),
                             FileNode::create("b", "/nonexistent/b", false, 1, {}, {})});
        QTRY_VERIFY(banner->isVisible() && banner->height() == banner->sizeHint().height());
        QCOMPARE(banner->mapTo(&w.content(), QPoint(0, 0)).y(), 0);
        QTRY_COMPARE(toast->mapTo(&w.content(), QPoint(0, 0)).y(), banner->height());
        QCOMPARE(toast->message(), QStringLiteral("still here"));
        trash->release(2);
        QTRY_VERIFY(!w.state.isDeleting());
        QTRY_VERIFY(!banner->isVisible());

        QTest::mouseClick(toast, Qt::LeftButton, {}, toast->rect().center());
        QVERIFY(!w.state.toastMessage());
        QTRY_VERIFY(!toast->isVisible());
    }

    void theTitleNamesTheScannedFolder()
    {
        ScratchDir dir;
        QVERIFY(makeDir(dir.file("Downloads")));
        Window w;
        QVERIFY(w.scan(dir.file("Downloads")));
        QCOMPARE(w.window.windowTitle(), QStringLiteral("Downloads \u2014 Plenvo"));
        QVERIFY(w.scan(dir.path()));
        QCOMPARE(w.window.windowTitle(), QFileInfo(QString::fromLocal8Bit(dir.path())).fileName() +
                                             QStringLiteral(" \u2014 Plenvo"));
    }

    void theTitleOfTheFileSystemRootIsASlash()
    {
        // A scan of "/" would take long; the title is made from the result alone.
        QCOMPARE(MainWindow::titleFor(nullptr), QStringLiteral("Plenvo"));
        ScanResult root(FileNode::create("/", "/", true, 0, {}, {}), 0, "/");
        QCOMPARE(MainWindow::titleFor(&root), QStringLiteral("/ \u2014 Plenvo"));
        ScanResult trailing(FileNode::create("Music", "/home/ada/Music/", true, 0, {}, {}), 0,
                            "/home/ada/Music/");
        QCOMPARE(MainWindow::titleFor(&trailing), QStringLiteral("Music \u2014 Plenvo"));
    }

    void thePickerSheetFollowsTheState()
    {
        Window w;
        w.action("newScanAction")->trigger();
        QVERIFY(w.state.showDirectoryPicker());
        DirectoryPickerSheet* sheet = w.content().pickerSheet();
        QVERIFY(sheet);
        QTRY_VERIFY(sheet->isVisible());
        QTest::keyClick(sheet, Qt::Key_Escape);
        QTRY_VERIFY(!sheet->isVisible());
        QVERIFY(!w.state.showDirectoryPicker());
        // Closing it from the state closes the window too.
        w.state.setShowDirectoryPicker(true);
        QTRY_VERIFY(sheet->isVisible());
        w.state.setShowDirectoryPicker(false);
        QTRY_VERIFY(!sheet->isVisible());
    }

    // The window opens at its ideal size where the screen has room, and within the screen's
    // free area, less a margin, where it has not (a laptop at twice the scale).
    void theWindowFitsItsScreen_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("minimum");
        QTest::newRow("roomy") << QRect(0, 0, 1920, 1050) << QSize(1200, 800) << QSize(900, 600);
        QTest::newRow("scale 2") << QRect(0, 14, 700, 436) << QSize(660, 396) << QSize(660, 396);
        QTest::newRow("wide, low") << QRect(0, 0, 1440, 700) << QSize(1200, 660) << QSize(900, 600);
    }

    void theWindowFitsItsScreen()
    {
        QFETCH(QRect, available);
        QFETCH(QSize, size);
        QFETCH(QSize, minimum);
        QCOMPARE(MainWindow::sizeWithin(MainWindow::kIdealSize, available), size);
        QCOMPARE(MainWindow::sizeWithin(MainWindow::kMinimumSize, available), minimum);
        // The test platform's own screen is smaller than the ideal size.
        Window w;
        const QSize free = w.window.screen()->availableGeometry().size();
        QVERIFY(free.boundedTo(QSize(1200, 800)) != QSize(1200, 800));
        QCOMPARE(w.window.size(), MainWindow::sizeWithin(MainWindow::kIdealSize, QRect({}, free)));
        QVERIFY(free.expandedTo(w.window.minimumSize()) == free);
    }

    // Quitting works from every window, also while the picker sheet blocks the main window.
    void ctrlQQuitsFromEveryWindow()
    {
        for (const char* opener : {"newScanAction", "aboutAction"}) {
            Window w;
            w.action(opener)->trigger();
            QWidget* top = opener == QByteArray("aboutAction")
                               ? static_cast<QWidget*>(w.window.aboutView())
                               : w.content().pickerSheet();
            QTRY_VERIFY(top && top->isVisible());
            top->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(top));
            QTest::keyClick(top, Qt::Key_Q, Qt::ControlModifier);
            QTRY_VERIFY2(!w.window.isVisible() && !top->isVisible(), opener);
        }
    }

    void theAboutWindowIsSingle()
    {
        Window w;
        w.action("aboutAction")->trigger();
        AboutView* about = w.window.aboutView();
        QVERIFY(about);
        QTRY_VERIFY(about->isVisible());
        w.action("aboutAction")->trigger();
        QCOMPARE(w.window.aboutView(), about);
        QCOMPARE(w.window.findChildren<AboutView*>().size(), 1);
        QCOMPARE(about->windowTitle(), L("app.about"));
        QVERIFY(about->findChild<QLabel*>(QStringLiteral("aboutCredit")));
    }
};

QTEST_MAIN(ContentViewTest)
#include "tst_contentview.moc"
