#include "FakeClipboard.h"
#include "FakeFileManager.h"
#include "FakeFolderPanel.h"
#include "ResultBuilder.h"
#include "TestSupport.h"
#include "state/FakeTrash.h"

#include "AppState.h"
#include "analysis/AnalysisViewFactory.h"
#include "shell/AboutView.h"
#include "shell/ActivitySpinner.h"
#include "shell/ContentView.h"
#include "shell/DeleteBanner.h"
#include "shell/DirectoryPickerSheet.h"
#include "shell/DiskUsageMiniBar.h"
#include "shell/MainWindow.h"
#include "shell/ScanningProgressView.h"
#include "shell/SidebarView.h"
#include "shell/ToastView.h"
#include "shell/WelcomeView.h"
#include "analysis/FileActions.h"
#include "analysis/FileOperationBar.h"
#include "analysis/FileOperationList.h"
#include "analysis/TreeMapView.h"
#include "theme/ProminentButton.h"
#include "theme/StyledLabel.h"
#include "theme/SymbolView.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <atomic>
#include <chrono>
#include <thread>

using namespace plenvo;
using namespace plenvo::test;
using namespace Qt::StringLiterals;

namespace {

// A main window shown on a state whose Trash moves nothing, with a result when asked.
struct Window {
    // At `size` (room for the inspector beside every view unless said otherwise), or at the
    // size the window opens with when that is invalid.
    explicit Window(bool withResult = false, QSize size = {1200, 800})
    {
        if (size.isValid())
            window.resize(size);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (withResult)
            state.showResult(
                makeResult("/scan/Projects", {{"sub/movie.mkv", 40000}, {"a.txt", 100}}));
    }
    ContentView& content() { return *window.contentView(); }
    bool inspectorVisible()
    {
        return content().inspectorColumn()->isVisible() && content().inspectorColumn()->width() > 0;
    }
    QAction* action(const char* name) { return window.findChild<QAction*>(QLatin1String(name)); }

    // Called on a scan's thread before each folder is listed, while set. The scan walks alone,
    // so that a listing held here holds the whole scan, as a mount that stopped answering
    // would.
    std::function<void(std::string_view)> beforeListing;
    std::shared_ptr<FakeTrash> trash = std::make_shared<FakeTrash>();
    AppState state{AppState::Services{trash, {}, AppState::kToastMilliseconds,
                                      [this](std::string_view name) {
                                          if (beforeListing)
                                              beforeListing(name);
                                      },
                                      {},
                                      AppState::kStopWaitMilliseconds,
                                      1}};
    FakeFolderPanel panel;
    FakeFileManager fileManager;
    FakeClipboard clipboard;
    AnalysisViewFactory factory{fileManager, clipboard};
    MainWindow window{state, panel, factory};
};

// What assistive technology hears of a widget that paints what it shows.
QString heard(QWidget* widget, QAccessible::Text text = QAccessible::Name)
{
    return QAccessible::queryAccessibleInterface(widget)->text(text);
}

} // namespace

class ContentViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Localization::setLanguage(u"en"); }

    void withoutAResultTheWelcomeScreenShows()
    {
        Window w;
        QVERIFY(qobject_cast<WelcomeView*>(w.content().detailWidget()));
        QVERIFY(!w.content().headerRow()->isVisible() &&
                !w.content().inspectorColumn()->isVisible());
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
        Window w(true);
        w.state.setNavigationSelection(SidebarItem::largeFiles);
        QVERIFY(w.content().isInspectorShown());
        w.state.scanDirectory(dir.str());
        QVERIFY(qobject_cast<ScanningProgressView*>(w.content().detailWidget()));
        QVERIFY(w.content().headerRow()->isVisible()); // the earlier result is still there
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

    // Stop (the button, or Esc) ends a scan soon and shows what it read, said to be stopped in
    // the header; a scan that had ended already shows whole. A scan held up in a listing that
    // does not answer gives way after a short wait to what was shown before.
    void stopShowsWhatWasRead_data()
    {
        QTest::addColumn<bool>("withResult");
        QTest::addColumn<QString>("scan"); // "answers", "finished" or "stuck"
        QTest::addColumn<bool>("escape");
        QTest::newRow("welcome, answers") << false << u"answers"_s << false;
        QTest::newRow("result, answers, Esc") << true << u"answers"_s << true;
        QTest::newRow("result, finished") << true << u"finished"_s << false;
        QTest::newRow("welcome, stuck") << false << u"stuck"_s << true;
        QTest::newRow("result, stuck") << true << u"stuck"_s << false;
    }
    void stopShowsWhatWasRead()
    {
        QFETCH(bool, withResult);
        QFETCH(QString, scan);
        QFETCH(bool, escape);
        ScratchDir dir;
        QVERIFY(makeDir(dir.file("sub")) && makeDir(dir.file("sub/inner")) &&
                writeFile(dir.file("sub/f"), 5000) && writeFile(dir.file("top"), 100));
        Window w(withResult);
        const auto before = w.state.scanResult();
        std::atomic<bool> release = scan == u"finished"_s;
        // However the test ends, the scan is let go and has ended before what it uses goes.
        const auto letGo = qScopeGuard([&] {
            release = true;
            w.state.backgroundWork().waitUntilIdle(std::chrono::seconds(10));
        });
        std::atomic<bool> held = false;
        w.beforeListing = [&](std::string_view name) {
            held = held || name == "sub";
            while (name == "sub" && !release)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        };
        w.state.scanDirectory(dir.str());
        auto* progress = qobject_cast<ScanningProgressView*>(w.content().detailWidget());
        QVERIFY(progress);
        // No events handled meanwhile: a finished scan's result waits to be published.
        while (w.state.backgroundWork().running() > 0 && !(held && scan != u"finished"_s))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        QCOMPARE(progress->stopButton()->text(), L("scanning.stop"));
        if (escape)
            QTest::keyClick(progress->stopButton(), Qt::Key_Escape);
        else
            QTest::mouseClick(progress->stopButton(), Qt::LeftButton);
        if (scan != u"finished"_s) {
            QVERIFY(w.state.isStoppingScan());
            QCOMPARE(w.content().detailWidget(), progress);
            QVERIFY(!progress->stopButton()->isEnabled());
            QCOMPARE(progress->findChild<StyledLabel*>(u"scanning.title"_s)->fullText(),
                     L("scanning.stopping"));
        }
        if (scan == u"answers"_s)
            release = true;
        QTRY_VERIFY_WITH_TIMEOUT(!w.state.isScanning(), 5000);
        if (scan == u"stuck"_s) {
            QCOMPARE(w.state.scanResult(), before);
            QCOMPARE(w.content().detail(),
                     withResult ? ContentView::Detail::analysis : ContentView::Detail::welcome);
            QCOMPARE(w.state.toastMessage(), L("scanning.stopTimedOut"));
            release = true;
            QTRY_COMPARE(w.state.backgroundWork().running(), 0);
            QCoreApplication::processEvents(); // what the scan sent at its end
            QCOMPARE(w.state.scanResult(), before);
            return;
        }
        const auto& result = w.state.scanResult();
        QVERIFY(result && result != before && result->rootPath() == dir.str());
        QCOMPARE(result->wasStopped(), scan == u"answers"_s);
        QCOMPARE(w.content().detail(), ContentView::Detail::analysis);
        QCOMPARE(w.content().shownDestination(), SidebarItem::overview);
        auto* bar = w.content().findChild<DiskUsageMiniBar*>();
        QCOMPARE(bar->originText().isEmpty(), scan != u"answers"_s);
        QCOMPARE(bar->sizeText(),
                 FormatUtils::formatBytesCompact(result->totalSize(), result->wasStopped()));
        if (result->wasStopped()) {
            QCOMPARE(bar->originText(), L("header.stopped"));
            QVERIFY(bar->sizeText().startsWith(L("amount.atLeast %@", QString()).trimmed()));
        }
    }

    void eachDestinationHasItsView_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("shown");
        QTest::addColumn<bool>("inspector");
        QTest::addColumn<bool>("keepsSelection");
        using S = SidebarItem;
        const S shown[] = {S::overview,   S::treeMap,  S::largeFiles, S::categories,
                           S::duplicates, S::overview, S::overview,   S::changes};
        for (S item : S::allCases())
            QTest::newRow(qPrintable(item.id()))
                << int(item) << int(shown[item]) << item.supportsInspector()
                << (item == S::largeFiles || item == S::categories);
    }

    // Coming from Large Files with a selection, which only the other file list keeps (the
    // duplicates list has not got that file).
    void eachDestinationHasItsView()
    {
        QFETCH(int, item);
        QFETCH(int, shown);
        QFETCH(bool, inspector);
        QFETCH(bool, keepsSelection);
        Window w(true);
        w.state.setNavigationSelection(SidebarItem::largeFiles);
        const NodeRef file = w.state.scanResult()->topFiles().front();
        w.state.setSelectedNode(file);
        w.state.setInspectorCandidateNodes({file});
        w.state.setNavigationSelection(SidebarItem(SidebarItem::Value(item)));
        QCOMPARE(w.content().detail(), ContentView::Detail::analysis);
        QCOMPARE(int(w.content().shownDestination()), shown);
        QVERIFY(w.content().headerRow()->isVisible());
        QCOMPARE(w.content().isInspectorShown(), inspector);
        QCOMPARE(w.content().inspectorToggle()->isVisible(), inspector);
        QTRY_COMPARE(w.inspectorVisible(), inspector);
        // The changes (none here) have no row for it either.
        QCOMPARE(w.state.selectedNode(), keepsSelection ? file : NodeRef());
        QCOMPARE(w.state.inspectorCandidateNodes().size(), size_t(keepsSelection));
        if (inspector)
            QTRY_COMPARE(w.content().inspectorColumn()->width(), ContentView::kInspectorWidth);
    }

    void theInspectorTogglesOnlyWhereItIsSupported()
    {
        Window w(true);
        QToolButton* toggle = w.content().inspectorToggle();
        w.action("toggleInspectorAction")->trigger(); // overview: nothing
        QVERIFY(!w.content().showInspector());
        w.state.setNavigationSelection(SidebarItem::categories);
        QVERIFY(w.content().showInspector() && toggle->isChecked());
        QCOMPARE(toggle->toolTip(), L("toolbar.hideInspector"));
        QTest::keyClick(&w.window, Qt::Key_I, Qt::ControlModifier);
        QVERIFY(!w.content().showInspector() && !toggle->isChecked());
        QTRY_VERIFY(!w.inspectorVisible());
        QCOMPARE(toggle->toolTip(), L("toolbar.showInspector"));
        toggle->click();
        QVERIFY(w.content().showInspector());
        QTRY_VERIFY(w.inspectorVisible());
        // Choosing the same destination again changes nothing.
        toggle->click();
        w.state.setNavigationSelection(SidebarItem::categories);
        QVERIFY(!w.content().showInspector());
    }

    void theBannerShowsTheProgressOfABatch()
    {
        DeleteBanner banner;
        banner.setProgress(0, 0);
        QCOMPARE(banner.text(), L("delete.inProgress"));
        QVERIFY(banner.percentText().isEmpty() && !banner.showsBar());
        QCOMPARE(heard(&banner), L("delete.inProgress"));
        QCOMPARE(heard(banner.findChild<ActivitySpinner*>()), L("delete.inProgress"));
        banner.setProgress(3, 4);
        QCOMPARE(banner.text(), L("delete.progress %lld %lld", qint64(3), qint64(4)));
        QCOMPARE(banner.percentText(), QStringLiteral("75%"));
        QCOMPARE(heard(&banner), banner.text());
        QCOMPARE(heard(&banner, QAccessible::Description), banner.percentText());
        QVERIFY(banner.showsBar() && banner.barValue() * 4 == banner.barMaximum() * 3);
        banner.setProgress(1, 3);
        QCOMPARE(banner.percentText(), QStringLiteral("33%"));
    }

    // The toast reports a move; while a long batch runs the banner sits on top and the toast
    // right below it; a click dismisses the toast, its Undo button puts the move back.
    void theToastComesGoesAndUndoes()
    {
        Window w(true);
        ToastView* toast = w.content().toastView();
        DeleteBanner* banner = w.content().deleteBanner();
        const auto top = [&](QWidget* widget) { return widget->mapTo(&w.content(), QPoint()).y(); };
        const NodeRef movie = w.state.scanResult()->topFiles().front();
        const NodeRef text = w.state.scanResult()->topFiles().back();
        w.trash->refuse(text->pathBytes());
        QVERIFY(w.state.editor().moveToTrash({text}));
        QTRY_VERIFY(toast->isVisible() && toast->height() == toast->sizeHint().height());
        QCOMPARE(toast->message(), L("delete.failed %@", QStringLiteral("a.txt")));
        QVERIFY(!toast->undoButton()->isVisible() && !banner->isVisible());
        // A failure carries a warning mark, not the check of what was done.
        QCOMPARE(toast->mark()->symbolName(), QStringLiteral("exclamationmark.triangle.fill"));
        QCOMPARE(toast->mark()->color(), ColorToken::orange);
        QCOMPARE(heard(toast), toast->message());
        QCOMPARE(top(toast), 0);
        // With a batch running (held until released), the banner comes after a moment, on top.
        w.trash->hold();
        w.state.setToastMessage(QStringLiteral("still here"));
        QVERIFY(w.state.editor().moveToTrash({text, movie}));
        QTRY_VERIFY(banner->isVisible() && banner->height() == banner->sizeHint().height());
        QCOMPARE(top(banner), 0);
        QTRY_COMPARE(top(toast), banner->height());
        QCOMPARE(toast->message(), QStringLiteral("still here"));
        QCOMPARE(toast->mark()->symbolName(), QStringLiteral("checkmark.circle.fill"));
        QCOMPARE(toast->mark()->color(), ColorToken::green);
        w.trash->release(2);
        QTRY_VERIFY(!w.state.isDeleting() && !banner->isVisible());
        QTRY_VERIFY(toast->undoButton()->isVisible());
        QVERIFY(!movie->parent());
        w.trash->release(1); // for the restore
        QTest::mouseClick(toast->undoButton(), Qt::LeftButton);
        QTRY_VERIFY(movie->parent());
        QTRY_COMPARE(toast->message(), L("undo.done.single %@", QStringLiteral("movie.mkv")));
        // The Undo click hid the toast; the new one slides in again before it takes a click.
        QTRY_VERIFY(toast->isVisible() && toast->height() == toast->sizeHint().height());
        QTest::mouseClick(toast, Qt::LeftButton, {}, toast->rect().center());
        QVERIFY(!w.state.toastMessage());
        QTRY_VERIFY(!toast->isVisible());
    }

    // Every way to move to the Trash (the bar, Delete and the row menu, the inspector, a tile's
    // menu) follows the one policy: off while a move runs, on again after it; Edit > Undo is
    // there once something moved.
    void everySurfaceFollowsTheOnePolicy()
    {
        Window w(true);
        QAction* undo = w.action("undoAction");
        QVERIFY(!undo->isEnabled());
        const NodeRef text = w.state.scanResult()->topFiles().back();
        w.state.setNavigationSelection(SidebarItem::largeFiles);
        auto* list = w.content().detailWidget()->findChild<FileOperationList*>();
        auto* bar = w.content().detailWidget()->findChild<FileOperationBar*>();
        QVERIFY(list && bar);
        const auto surfaces = [&] {
            auto* inspectorTrash =
                w.content().inspectorColumn()->findChild<QPushButton*>("trashButton");
            const std::unique_ptr<QMenu> menu = list->createContextMenu();
            QList<bool> on{bar->trashButton()->isEnabled(), menu->actions().back()->isEnabled(),
                           inspectorTrash && inspectorTrash->isEnabled()};
            for (QAction* action : list->actions())
                on << action->isEnabled(); // the Delete key's
            return on;
        };
        QCOMPARE(surfaces(), QList<bool>(4, true));
        w.trash->hold();
        QVERIFY(w.state.editor().moveToTrash({text}));
        QCOMPARE(surfaces(), QList<bool>(4, false));
        QCOMPARE(bar->trashButton()->toolTip(), L("delete.busy"));
        w.state.setNavigationSelection(SidebarItem::treeMap);
        auto* treemap = qobject_cast<TreeMapView*>(w.content().detailWidget());
        QVERIFY(treemap);
        QVERIFY(!treemap->createTileMenu(treemap->rootNode())->actions().back()->isEnabled());
        w.trash->release(1);
        QTRY_VERIFY(!w.state.isDeleting());
        QVERIFY(treemap->createTileMenu(treemap->rootNode())->actions().back()->isEnabled());
        QVERIFY(undo->isEnabled());
        w.state.setNavigationSelection(SidebarItem::largeFiles);
        list = w.content().detailWidget()->findChild<FileOperationList*>();
        bar = w.content().detailWidget()->findChild<FileOperationBar*>();
        QCOMPARE(surfaces(), QList<bool>(4, true));
        w.trash->release(1); // for the restore
        undo->trigger();
        QTRY_VERIFY(text->parent());
        QVERIFY(!undo->isEnabled());
    }

    // Where the window leaves the detail view less than its minimum beside the inspector,
    // the inspector yields (its toggle off, saying why) rather than squeezing the view or the
    // sidebar; wider again, it comes back. The header row keeps its height throughout.
    void theInspectorYieldsToANarrowWindow()
    {
        Window w(true);
        ContentView& content = w.content();
        w.state.setNavigationSelection(SidebarItem::categories);
        QTRY_COMPARE(content.inspectorColumn()->width(), ContentView::kInspectorWidth);
        const int headerHeight = content.headerRow()->height();
        w.window.resize(900, 600);
        QTRY_VERIFY(!content.isInspectorShown() && !content.inspectorColumn()->isVisible());
        QVERIFY(content.showInspector()); // still wanted
        QVERIFY(!content.inspectorToggle()->isEnabled() && !content.inspectorToggle()->isChecked());
        QCOMPARE(content.inspectorToggle()->toolTip(), L("toolbar.inspectorNeedsRoom"));
        QTRY_VERIFY(content.detailWidget()->width() >=
                    content.detailWidget()->minimumSizeHint().width());
        QCOMPARE(content.sidebar()->width(), 220);
        w.action("toggleInspectorAction")->trigger(); // nothing to toggle
        QVERIFY(content.showInspector());
        // Large Files is narrow enough for it.
        w.state.setNavigationSelection(SidebarItem::largeFiles);
        QTRY_COMPARE(content.inspectorColumn()->width(), ContentView::kInspectorWidth);
        QVERIFY(content.inspectorToggle()->isEnabled());
        QCOMPARE(content.headerRow()->height(), headerHeight);
        w.state.setNavigationSelection(SidebarItem::categories);
        QTRY_VERIFY(!content.isInspectorShown());
        w.window.resize(1200, 800);
        QTRY_VERIFY(content.isInspectorShown() && content.inspectorColumn()->isVisible());
        QCOMPARE(content.inspectorToggle()->toolTip(), L("toolbar.hideInspector"));
        QCOMPARE(content.headerRow()->height(), headerHeight);
    }

    // The title and the header's pill name the scanned folder; the pill, its total size.
    void theTitleAndTheHeaderNameTheFolder()
    {
        Window w;
        auto* pill = w.content().headerRow()->findChild<DiskUsageMiniBar*>();
        QCOMPARE(w.window.windowTitle(), QStringLiteral("Plenvo"));
        QCOMPARE(heard(pill), QString());
        w.state.showResult(makeResult("/scan/Downloads", {{"a.iso", 4000}}));
        QCOMPARE(w.window.windowTitle(), QStringLiteral("Downloads \u2014 Plenvo"));
        QCOMPARE(pill->nameText(), QStringLiteral("Downloads"));
        QTRY_COMPARE(pill->findChildren<StyledLabel*>().front()->text(), pill->nameText());
        QCOMPARE(pill->sizeText(),
                 FormatUtils::formatBytesCompact(w.state.scanResult()->totalSize()));
        QCOMPARE(heard(pill), pill->nameText());
        QCOMPARE(heard(pill, QAccessible::Description), pill->sizeText());
        QCOMPARE(MainWindow::titleFor(makeResult("/", {}).get()),
                 QStringLiteral("/ \u2014 Plenvo"));
        ScanResult trailing(FileNode::create("Music", "/home/ada/Music/", true, 0, {}, {}), 0,
                            "/home/ada/Music/");
        QCOMPARE(MainWindow::titleFor(&trailing), QStringLiteral("Music \u2014 Plenvo"));
    }

    // However the sheet closes, the state hears of it, and the other way round.
    void thePickerSheetFollowsTheState()
    {
        Window w;
        w.action("newScanAction")->trigger();
        DirectoryPickerSheet* sheet = w.content().pickerSheet();
        QTRY_VERIFY(sheet && sheet->isVisible());
        QTest::keyClick(sheet, Qt::Key_Escape);
        QTRY_VERIFY(!sheet->isVisible());
        QVERIFY(!w.state.showDirectoryPicker());
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
        Window w(false, QSize());
        const QSize free = w.window.screen()->availableGeometry().size();
        QVERIFY(free.boundedTo(MainWindow::kIdealSize) != MainWindow::kIdealSize);
        QCOMPARE(w.window.size(), MainWindow::sizeWithin(MainWindow::kIdealSize, QRect({}, free)));
        QCOMPARE(free.expandedTo(w.window.minimumSize()), free);
    }

    // Quitting works from every window, also while the picker sheet blocks the main window.
    // The About window is made once.
    void ctrlQQuitsFromEveryWindow()
    {
        for (const char* opener : {"newScanAction", "aboutAction"}) {
            Window w;
            w.action(opener)->trigger();
            w.action(opener)->trigger();
            QWidget* top = w.window.aboutView();
            QCOMPARE(w.window.findChildren<AboutView*>().size(), top ? 1 : 0);
            if (!top)
                top = w.content().pickerSheet();
            QTRY_VERIFY(top && top->isVisible());
            top->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(top));
            QTest::keyClick(top, Qt::Key_Q, Qt::ControlModifier);
            QTRY_VERIFY2(!w.window.isVisible() && !top->isVisible(), opener);
        }
    }
};

QTEST_MAIN(ContentViewTest)
#include "tst_contentview.moc"
