#include "BenchModes.h"
#include "BenchSupport.h"

#include "AppState.h"
#include "analysis/AnalysisViewFactory.h"
#include "platform/Clipboard.h"
#include "platform/FileManager.h"
#include "shell/FolderPanel.h"
#include "shell/MainWindow.h"

#include <QApplication>
#include <QImage>
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

// Facilities that do nothing: nothing is revealed, copied or chosen during a measurement.
class SilentFileManager final : public FileManager {
public:
    void revealItems(const std::vector<std::string>&) override {}
};
class SilentClipboard final : public Clipboard {
public:
    void copyPath(const std::string&) override {}
};
class SilentFolderPanel final : public FolderPanel {
public:
    std::optional<QString> chooseFolder(QWidget*, const Options&) override { return {}; }
};

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

} // namespace

int viewsMode(const std::string& dir)
{
    AppState state(std::make_shared<AcceptingTrash>());
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

    // After 200 files spread over the tree are moved to the Trash, the time from the new content
    // revision until the window shows the destination rebuilt; the worst destination counts.
    double revisionStart = 0;
    QObject::connect(&state, &AppState::contentRevisionChanged, [&] {
        revisionStart = threadSeconds(); // connected first: runs before the views' own handlers
    });
    MainWindow window(state, panel, factory);
    render(window);
    double rebuildWorst = 0;
    for (const SidebarItem destination : SidebarItem::viewItems()) {
        state.setNavigationSelection(destination);
        render(window);
        const auto batch = spreadFiles(state.scanResult()->allFiles(), 200);
        if (batch.empty())
            break;
        state.deleteFiles(batch);
        runUntil(state, &AppState::deleteProgressChanged, [&] { return !state.isDeleting(); });
        render(window);
        rebuildWorst = std::max(rebuildWorst, (threadSeconds() - revisionStart) * 1000.0);
    }

    std::printf("{\"files\":%zu,\"treemap_root_ms\":%.2f,\"overview_ms\":%.2f,"
                "\"revision_rebuild_ms\":%.2f,\"timing\":\"UI-thread CPU time, median of %d, "
                "%dx%d offscreen\"}\n",
                files, treemapRoot, overview, rebuildWorst, kRuns, kWidth, kHeight);
    return 0;
}

} // namespace plenvo::bench
