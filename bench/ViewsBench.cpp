#include "BenchModes.h"
#include "BenchSupport.h"
#include "SilentFacilities.h"

#include "AppState.h"
#include "ChangesTracker.h"
#include "HistoryKeeper.h"
#include "analysis/AnalysisViewFactory.h"
#include "analysis/CategoriesView.h"
#include "analysis/DuplicateActions.h"
#include "analysis/DuplicateGroupsModel.h"
#include "analysis/DuplicatesTreeView.h"
#include "analysis/DuplicatesView.h"
#include "analysis/ChangesList.h"
#include "analysis/ChangesModel.h"
#include "analysis/ChangesView.h"
#include "analysis/FileOperationList.h"
#include "analysis/LargeFilesView.h"
#include "analysis/TreeMapView.h"
#include "analysis/TreemapCanvas.h"
#include "platform/Clipboard.h"
#include "platform/FileManager.h"
#include "shell/FolderPanel.h"
#include "shell/MainWindow.h"
#include "shell/ScanFilePanel.h"
#include "services/ScanComparer.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QAction>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace plenvo::bench {

namespace {

constexpr int kWidth = 1400;
constexpr int kHeight = 900;
constexpr int kRuns = 5;

// Lays the widget out at the measured size (off screen) and draws it into an image.
void render(QWidget& widget)
{
    if (!widget.isVisible()) {
        widget.setAttribute(Qt::WA_DontShowOnScreen);
        widget.resize(kWidth, kHeight);
        widget.show();
    }
    QCoreApplication::sendPostedEvents();
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    widget.render(&image);
}

// The median of kRuns runs of `run`, in milliseconds of this thread's CPU time; `prepare` runs
// before each, unmeasured, and `finish` after each.
double medianMs(const std::function<void()>& prepare, const std::function<void()>& run,
                const std::function<void()>& finish)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        prepare();
        const double start = threadSeconds();
        run();
        times.push_back((threadSeconds() - start) * 1000.0);
        finish();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Building a destination's view and drawing it.
double viewMs(DetailViewFactory& factory, AppState& state, SidebarItem destination)
{
    std::unique_ptr<QWidget> view;
    return medianMs([] {},
                    [&] {
                        view.reset(factory.createDetailView(destination, state, nullptr));
                        render(*view);
                    },
                    [&] { view.reset(); });
}

// The folder with the most direct children.
NodeRef widestFolder(const NodeRef& root)
{
    NodeRef widest = root;
    std::vector<const FileNode*> stack{root.get()};
    while (!stack.empty()) {
        const FileNode* folder = stack.back();
        stack.pop_back();
        if (folder->childCount() > widest->childCount())
            widest = NodeRef(folder);
        for (const FileNode* child : folder->children())
            if (child->isDirectory())
                stack.push_back(child);
    }
    return widest;
}

void pressKeys(QWidget& widget, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(&widget, &release);
}

void moveMouse(QWidget& widget, const QPointF& to)
{
    QMouseEvent move(QEvent::MouseMove, to, widget.mapToGlobal(to), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &move);
}

} // namespace

int viewsMode(const std::string& dir)
{
    AppState state(std::make_shared<AcceptingTrash>());
    state.history().setEnabled(false); // the scan is measured, not kept
    state.scanDirectory(dir);
    runUntil(state, &AppState::isScanningChanged, [&] { return !state.isScanning(); });
    if (!state.scanResult()) {
        std::fprintf(stderr, "scan failed\n");
        return 1;
    }
    const std::size_t files = state.scanResult()->allFiles().size();
    SilentFileManager fileManager;
    SilentClipboard clipboard;
    SilentFolderPanel panel;
    AnalysisViewFactory factory(fileManager, clipboard);

    const double overview = viewMs(factory, state, SidebarItem::overview);
    const double treemapRoot = viewMs(factory, state, SidebarItem::treeMap);

    // Opening the widest folder in a treemap shown at the root, then moving the pointer from
    // one of its tiles to another.
    const NodeRef widest = widestFolder(state.scanResult()->rootNode());
    const std::size_t widestChildren = widest->childCount();
    std::unique_ptr<TreeMapView> treemap;
    const double treemapWidest = medianMs(
        [&] {
            treemap.reset(static_cast<TreeMapView*>(
                factory.createDetailView(SidebarItem::treeMap, state, nullptr)));
            render(*treemap);
        },
        [&] {
            treemap->setCurrentNode(widest);
            render(*treemap);
        },
        [] {});
    int hovers = 0;
    const double treemapHover = medianMs(
        [] {},
        [&] {
            TreemapCanvas& canvas = *treemap->canvas();
            const auto& tiles = canvas.tiles();
            if (!tiles.empty())
                moveMouse(canvas, tiles[std::size_t(hovers++ % std::min<int>(2, int(tiles.size())))]
                                      .rect.center());
            render(*treemap);
        },
        [] {});
    treemap.reset();

    // The large-files list: built and drawn; then Ctrl+A on it, with the bar's update.
    const double largeFiles = viewMs(factory, state, SidebarItem::largeFiles);
    std::unique_ptr<LargeFilesView> large;
    const double selectAll = medianMs(
        [&] {
            large.reset(static_cast<LargeFilesView*>(
                factory.createDetailView(SidebarItem::largeFiles, state, nullptr)));
            render(*large);
        },
        [&] {
            pressKeys(*large->list(), Qt::Key_A, Qt::ControlModifier);
            render(*large);
        },
        [&] { large.reset(); });

    // The categories browser: built and drawn; switching to the category with the most files;
    // one more page after twenty (from 10,500 rows).
    const double categories = viewMs(factory, state, SidebarItem::categories);
    const ScanResult& result = *state.scanResult();
    FileCategory most = FileCategory::other;
    for (const FileCategory category : FileCategory::allCases())
        if (result.files(category).size() > result.files(most).size())
            most = category;
    const std::size_t mostFiles = result.files(most).size();
    FileCategory another = most;
    for (const CategoryStat& stat : result.categoryStat())
        if (stat.category != most)
            another = stat.category;
    std::unique_ptr<CategoriesView> browser;
    const auto makeBrowser = [&] {
        browser.reset(static_cast<CategoriesView*>(
            factory.createDetailView(SidebarItem::categories, state, nullptr)));
        render(*browser);
    };
    const double categoriesSwitch = medianMs(
        [&] {
            makeBrowser();
            browser->selectCategory(another);
            render(*browser);
        },
        [&] {
            browser->selectCategory(most);
            render(*browser);
        },
        [&] { browser.reset(); });
    const double categoriesShowMore = medianMs(
        [&] {
            makeBrowser();
            browser->selectCategory(most);
            for (int i = 0; i < 20; ++i)
                browser->showMore();
            render(*browser);
        },
        [&] {
            browser->showMore();
            render(*browser);
        },
        [&] { browser.reset(); });

    // The inspector of the widest folder.
    state.setSelectedNode(widest);
    std::unique_ptr<QWidget> inspector;
    const double inspectorMs =
        medianMs([] {},
                 [&] {
                     inspector.reset(factory.createInspectorView(state, nullptr));
                     render(*inspector);
                 },
                 [&] { inspector.reset(); });
    state.setSelectedNode({});

    // After 200 files spread over the tree are moved to the Trash, the time from the new content
    // revision until the window shows the destination rebuilt; the worst destination counts.
    double revisionStart = 0;
    QObject::connect(&state, &AppState::contentRevisionChanged, [&] {
        revisionStart = threadSeconds(); // connected first: runs before the views' own handlers
    });
    MainWindow window(state, panel, factory);
    render(window);
    double rebuildWorst = 0;
    QString rebuilds; // each destination's time, for the record
    for (const SidebarItem destination : SidebarItem::viewItems()) {
        state.setNavigationSelection(destination);
        render(window);
        const auto batch = spreadFiles(state.scanResult()->allFiles(), 200);
        if (batch.empty())
            break;
        state.editor().moveToTrash(batch);
        runUntil(state, &AppState::deleteProgressChanged, [&] { return !state.isDeleting(); });
        render(window);
        const double ms = (threadSeconds() - revisionStart) * 1000.0;
        rebuildWorst = std::max(rebuildWorst, ms);
        rebuilds += QStringLiteral("%1\"%2\":%3")
                        .arg(rebuilds.isEmpty() ? "" : ",", destination.id())
                        .arg(ms, 0, 'f', 2);
    }

    std::printf("{\"files\":%zu,\"treemap_root_ms\":%.2f,\"treemap_widest_ms\":%.2f,"
                "\"treemap_widest_children\":%zu,\"treemap_hover_ms\":%.2f,\"overview_ms\":%.2f,"
                "\"large_files_ms\":%.2f,\"select_all_ms\":%.2f,\"inspector_ms\":%.2f,"
                "\"categories_ms\":%.2f,\"categories_switch_ms\":%.2f,"
                "\"categories_show_more_ms\":%.2f,\"categories_largest_files\":%zu,"
                "\"revision_rebuild_ms\":%.2f,\"revision_rebuild_by_view\":{%s},\"timing\":\"UI-"
                "thread CPU time, median of %d, "
                "%dx%d offscreen\"}\n",
                files, treemapRoot, treemapWidest, widestChildren, treemapHover, overview,
                largeFiles, selectAll, inspectorMs, categories, categoriesSwitch,
                categoriesShowMore, mostFiles, rebuildWorst, qPrintable(rebuilds), kRuns, kWidth,
                kHeight);
    return 0;
}

int changesMode(const std::string& earlier, const std::string& current)
{
    const std::optional<ScanTree> now = loadScan(current);
    if (!now)
        return 2;
    AppState state(std::make_shared<AcceptingTrash>());
    state.history().setEnabled(false);
    auto result = std::make_shared<ScanResult>(now->root, now->scanDate, now->rootPath);
    result->setFacts(now->facts);
    state.showResult(result);
    ChangesTracker& changes = state.changes();
    changes.compareWith(earlier);
    SilentFileManager fileManager;
    SilentClipboard clipboard;
    SilentScanFilePanel scanFiles;
    AnalysisViewFactory factory(fileManager, clipboard, &scanFiles);

    // The first comparison, made while the view is shown: wall time until it is there.
    const auto ready = [&] {
        return changes.status() == ChangesTracker::Status::failed ||
               (changes.isUpToDate() && changes.status() == ChangesTracker::Status::ready);
    };
    auto start = std::chrono::steady_clock::now();
    std::unique_ptr<ChangesView> view(
        static_cast<ChangesView*>(factory.createDetailView(SidebarItem::changes, state, nullptr)));
    render(*view);
    while (!ready())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double compareSeconds = secondsSince(start);
    if (!changes.comparison()) {
        std::fprintf(stderr, "plenvo-bench: %s\n", qPrintable(changes.error()));
        return 2;
    }
    const std::size_t topRows = std::size_t(view->model()->rowCount());

    // The view of a comparison that is there: built and drawn.
    const double viewBuildMs = viewMs(factory, state, SidebarItem::changes);
    // Opening the first folder of the top, drawn.
    const double openMs = medianMs([&] { view->model()->goHome(); render(*view); },
                                   [&] {
                                       view->model()->open(0);
                                       render(*view);
                                   },
                                   [] {});
    view->model()->goHome();
    render(*view);

    // 200 changed files to the Trash from the view: the wall time until its rows follow, and
    // the user-interface thread's CPU time over it (the comparison runs on a worker).
    std::vector<NodeRef> batch;
    const ScanComparison& comparison = *changes.comparison();
    for (const ScanComparison::Index i : comparison.largestChanges())
        if (const NodeRef& node = comparison.item(i).node; node && !node->isDirectory()) {
            batch.push_back(node);
            if (batch.size() == 200)
                break;
        }
    int synced = 0;
    QObject::connect(view->model(), &ChangesModel::synced, [&] { ++synced; });
    start = std::chrono::steady_clock::now();
    const double cpuBefore = threadSeconds();
    state.editor().moveToTrash(batch);
    while (state.isDeleting() || !ready() || synced == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    render(*view);
    const double editSeconds = secondsSince(start);
    const double editUiMs = (threadSeconds() - cpuBefore) * 1000.0;

    std::printf("{\"old_entries\":%lld,\"changed\":%zu,\"top_rows\":%zu,"
                "\"compare_seconds\":%.3f,\"view_build_ms\":%.2f,\"open_folder_ms\":%.2f,"
                "\"moved\":%zu,\"edit_to_rows_seconds\":%.3f,\"edit_ui_cpu_ms\":%.2f,"
                "\"timing\":\"view and folder: UI-thread CPU time, median of %d, %dx%d "
                "offscreen\"}\n",
                (long long)comparison.summary().oldEntries, comparison.largestChanges().size(),
                topRows, compareSeconds, viewBuildMs, openMs, batch.size(), editSeconds, editUiMs,
                kRuns, kWidth, kHeight);
    return 0;
}

} // namespace plenvo::bench

namespace plenvo::bench {

namespace {

// A result built in memory with `pairs` groups of two copies and one group of `big` copies
// (the first, with the most wasted space), a thousand files to a folder, and those groups
// published as a search would publish them.
void publishDuplicates(AppState& state, int pairs, int big)
{
    constexpr std::size_t kPerFolder = 1000;
    constexpr std::int64_t kDay = 24LL * 3600 * 1000;
    std::vector<NodeRef> made; // every file, in the order made
    std::vector<NodeRef> folders;
    std::vector<NodeRef> files;
    const auto add = [&](const std::string& name, std::int64_t size, std::int64_t modified) {
        files.push_back(FileNode::create(name, {}, false, size, modified, std::nullopt));
        made.push_back(files.back());
        if (files.size() == kPerFolder || made.size() == std::size_t(big + 2 * pairs))
            folders.push_back(FileNode::create("d" + std::to_string(folders.size()), {}, true, 0,
                                               std::nullopt, std::nullopt, std::move(files)));
    };
    for (int i = 0; i < big; ++i)
        add("big-" + std::to_string(i) + ".iso", 1 << 26, i * kDay);
    for (int p = 0; p < pairs; ++p)
        for (const char* side : {"-a.jpg", "-b.jpg"})
            add("photo-" + std::to_string(p) + side, (1 << 20) - p % (1 << 19), p * kDay);
    state.showResult(std::make_shared<ScanResult>(
        FileNode::create("bench", "/bench", true, 0, std::nullopt, std::nullopt,
                         std::move(folders)),
        0, "/bench"));

    // The most wasted space first, as a search orders them.
    std::vector<DuplicateFinder::DuplicateGroup> groups(1);
    groups[0].fileSize = 1 << 26;
    groups[0].files.assign(made.begin(), made.begin() + big);
    for (int p = 0; p < pairs; ++p) {
        DuplicateFinder::DuplicateGroup pair;
        pair.fileSize = made[std::size_t(big + 2 * p)]->fileSize();
        pair.files = {made[std::size_t(big + 2 * p)], made[std::size_t(big + 2 * p + 1)]};
        groups.push_back(std::move(pair));
    }
    std::stable_sort(groups.begin() + 1, groups.end(),
                     [](const auto& a, const auto& b) { return a.fileSize > b.fileSize; });
    state.setDuplicateGroups(std::move(groups));
}

} // namespace

int duplicatesViewMode(int pairs, int big)
{
    AppState state(std::make_shared<AcceptingTrash>());
    publishDuplicates(state, pairs, big);
    const std::size_t groupCount = state.duplicateGroups().size();
    const std::size_t fileCount = state.scanResult()->allFiles().size();
    const std::int64_t builtPeak = peakRssBytes();
    SilentFileManager fileManager;
    SilentClipboard clipboard;
    AnalysisViewFactory factory(fileManager, clipboard);
    const auto make = [&] {
        return std::unique_ptr<DuplicatesView>(static_cast<DuplicatesView*>(
            factory.createDetailView(SidebarItem::duplicates, state, nullptr)));
    };

    // Building and drawing the view.
    const double view = viewMs(factory, state, SidebarItem::duplicates);
    std::unique_ptr<DuplicatesView> dups;
    const auto shown = [&] {
        dups = make();
        render(*dups);
    };
    // Opening the large group and drawing it.
    const double openBig = medianMs(shown,
                                    [&] {
                                        dups->list()->expand(dups->model()->index(0, 0));
                                        render(*dups);
                                    },
                                    [&] { dups.reset(); });
    // Scrolling to the end of the rows shown, which brings the next page.
    const double scrollEnd = medianMs(shown,
                                      [&] {
                                          dups->list()->scrollToBottom();
                                          dups->list()->fetchVisible();
                                          render(*dups);
                                      },
                                      [&] { dups.reset(); });
    // Marking every copy but the newest in every group, with the bar's update.
    const double keepNewest = medianMs(shown,
                                       [&] {
                                           dups->actions()->keepNewest()->trigger();
                                           render(*dups);
                                       },
                                       [&] { dups.reset(); });
    const std::int64_t marked = [&] {
        shown();
        dups->actions()->keepNewest()->trigger();
        return dups->model()->markedCount();
    }();

    // Moving 200 copies spread over the groups: from the editor's removal until the view is
    // drawn again with its rows following.
    double removalStart = 0;
    QObject::connect(&state.editor(), &ResultEditor::aboutToRemove,
                     [&] { removalStart = threadSeconds(); });
    std::vector<NodeRef> copies;
    const auto& groups = state.duplicateGroups();
    for (std::size_t g = 0; g < groups.size() && copies.size() < 200;
         g += std::max<std::size_t>(1, groups.size() / 200))
        copies.push_back(groups[g].files.back());
    state.editor().moveToTrash(copies);
    runUntil(state, &AppState::deleteProgressChanged, [&] { return !state.isDeleting(); });
    render(*dups);
    const double rowsFollow = (threadSeconds() - removalStart) * 1000.0;
    dups.reset();

    std::printf("{\"groups\":%zu,\"files\":%zu,\"largest_group\":%d,\"duplicates_view_ms\":%.2f,"
                "\"open_largest_group_ms\":%.2f,\"scroll_to_end_ms\":%.2f,\"keep_newest_ms\":%.2f,"
                "\"marked\":%lld,\"move_200_rows_follow_ms\":%.2f,\"peak_rss_bytes\":%lld,"
                "\"result_peak_rss_bytes\":%lld,\"timing\":\"UI-thread CPU time, median of %d, "
                "%dx%d offscreen\"}\n",
                groupCount, fileCount, big, view, openBig, scrollEnd, keepNewest, (long long)marked, rowsFollow,
                (long long)peakRssBytes(), (long long)builtPeak, kRuns, kWidth, kHeight);
    return 0;
}

} // namespace plenvo::bench
