#include "BenchModes.h"
#include "BenchSupport.h"
#include "SilentFacilities.h"

#include "AppState.h"
#include "HistoryKeeper.h"
#include "analysis/AnalysisViewFactory.h"
#include "shell/ContentView.h"
#include "shell/MainWindow.h"
#include "shell/ScanningProgressView.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QImage>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace plenvo::bench {

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

} // namespace

// Stop during a scan: the time from the press of the Stop button to the partial result being
// the current one, and to the window having drawn it (the overview), in wall-clock time as the
// user waits; with, for comparison, the time the statistics of that partial tree take to derive
// alone.
int stopMode(const std::string& dir, const std::vector<std::string>& options)
{
    int afterMs = 1000;
    int runs = 5;
    for (std::size_t i = 0; i + 1 < options.size(); i += 2) {
        if (options[i] == "--after")
            afterMs = std::atoi(options[i + 1].c_str());
        else if (options[i] == "--runs")
            runs = std::max(1, std::atoi(options[i + 1].c_str()));
    }
    SilentFileManager fileManager;
    SilentClipboard clipboard;
    SilentFolderPanel panel;
    SilentScanFilePanel scanFiles;
    AnalysisViewFactory factory(fileManager, clipboard, &scanFiles);
    std::vector<double> published, shown, statistics, files;
    int finishedFirst = 0;
    for (int run = 0; run < runs; ++run) {
        AppState state(std::make_shared<AcceptingTrash>());
        state.history().setEnabled(false); // nothing is kept
        MainWindow window(state, panel, factory, &scanFiles);
        window.setAttribute(Qt::WA_DontShowOnScreen);
        window.resize(1400, 900);
        window.show();
        state.scanDirectory(dir);
        QEventLoop wait;
        QTimer::singleShot(afterMs, &wait, &QEventLoop::quit);
        wait.exec();
        auto* progress =
            qobject_cast<ScanningProgressView*>(window.contentView()->detailWidget());
        if (!state.isScanning() || !progress) {
            ++finishedFirst; // the scan was over before the press
            continue;
        }
        const auto pressed = std::chrono::steady_clock::now();
        progress->stopButton()->click();
        runUntil(state, &AppState::isScanningChanged, [&] { return !state.isScanning(); });
        published.push_back(secondsSince(pressed) * 1000.0);
        QCoreApplication::sendPostedEvents();
        QImage image(window.size(), QImage::Format_ARGB32_Premultiplied);
        window.render(&image);
        shown.push_back(secondsSince(pressed) * 1000.0);

        const std::shared_ptr<ScanResult> result = state.scanResult();
        if (!result || !result->wasStopped()) {
            std::fprintf(stderr, "plenvo-bench stop: the scan did not stop with a result\n");
            return 1;
        }
        files.push_back(double(result->totalFiles()));
        const auto start = std::chrono::steady_clock::now();
        { ScanResult again(result->rootNode(), result->scanDate(), result->rootPath()); }
        statistics.push_back(secondsSince(start) * 1000.0);
    }
    if (published.empty()) {
        std::fprintf(stderr, "plenvo-bench stop: every scan ended within %d ms; stop earlier "
                             "(--after)\n", afterMs);
        return 2;
    }
    std::printf("{\"after_ms\":%d,\"runs\":%zu,\"finished_before_the_press\":%d,"
                "\"files_read\":%.0f,\"press_to_result_ms\":%.1f,\"press_to_drawn_ms\":%.1f,"
                "\"max_press_to_drawn_ms\":%.1f,\"statistics_alone_ms\":%.1f}\n",
                afterMs, published.size(), finishedFirst, median(files), median(published),
                median(shown), *std::max_element(shown.begin(), shown.end()),
                median(statistics));
    return 0;
}

} // namespace plenvo::bench
