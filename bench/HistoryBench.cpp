#include "BenchModes.h"
#include "BenchSupport.h"

#include "AppState.h"
#include "HistoryKeeper.h"
#include "services/ScanHistory.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>

#include <cstdio>
#include <thread>

namespace plenvo::bench {

int historyMode(const std::string& source)
{
    const std::optional<ScanTree> tree = loadScan(source);
    if (!tree)
        return 2;
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "plenvo-bench: no temporary folder\n");
        return 2;
    }
    const ScanHistory history(QFile::encodeName(dir.path()).toStdString() + "/scans");

    // What the user-interface thread does: hand the tree over (references only) and start the
    // work; the save itself runs on the worker.
    ScanHistory::SaveOutcome saved;
    double workerCpu = 0;
    const auto start = std::chrono::steady_clock::now();
    const double uiCpuBefore = threadSeconds();
    std::thread worker([&history, &saved, &workerCpu, handed = *tree] {
        saved = history.save(handed);
        workerCpu = threadSeconds();
    });
    const double uiSeconds = secondsSince(start);
    const double uiCpu = threadSeconds() - uiCpuBefore;
    worker.join();
    const double seconds = secondsSince(start);
    if (saved.status != ScanHistory::SaveOutcome::Status::saved) {
        std::fprintf(stderr, "plenvo-bench: %s\n", qPrintable(saved.error));
        return 2;
    }
    const auto listStart = std::chrono::steady_clock::now();
    const std::vector<ScanHistory::Scan> scans = history.scans();
    const double listSeconds = secondsSince(listStart);
    const std::int64_t entries = tree->root->cachedFileCount() + tree->root->cachedDirCount();
    const std::int64_t bytes = scans.empty() ? 0 : scans.front().bytesOnDisk;
    history.removeAll();

    // The same through the application: the result of a finished scan handed to its history,
    // which saves it in the background and lists the history again. The user-interface
    // thread's CPU time from the hand-over until all of it has come back.
    AppState::Services services;
    services.trash = std::make_shared<AcceptingTrash>();
    services.historyFolder = history.folder();
    AppState state(services);
    auto result = std::make_shared<ScanResult>(tree->root, tree->scanDate, tree->rootPath);
    result->setFacts(tree->facts);
    state.showResult(result);
    const auto appStart = std::chrono::steady_clock::now();
    const double appCpuBefore = threadSeconds();
    state.history().keep(result);
    const double handOverCpu = threadSeconds() - appCpuBefore;
    while (state.history().isSaving() || state.history().scans().empty())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double appUiCpu = threadSeconds() - appCpuBefore;
    const double appSeconds = secondsSince(appStart);
    const std::int64_t appBytes = state.history().scans().front().bytesOnDisk;
    history.removeAll();

    std::printf("{\"entries\":%lld,\"ui_thread_seconds\":%.6f,\"ui_thread_cpu_seconds\":%.6f,"
                "\"save_seconds\":%.3f,\"save_cpu_seconds\":%.3f,\"bytes_on_disk\":%lld,"
                "\"bytes_per_entry\":%.2f,\"list_seconds\":%.4f,"
                "\"app_hand_over_cpu_seconds\":%.6f,\"app_ui_cpu_seconds\":%.6f,"
                "\"app_save_seconds\":%.3f,\"app_bytes_on_disk\":%lld}\n",
                (long long)entries, uiSeconds, uiCpu, seconds, workerCpu, (long long)bytes,
                entries ? double(bytes) / double(entries) : 0.0, listSeconds, handOverCpu,
                appUiCpu, appSeconds, (long long)appBytes);
    return 0;
}

} // namespace plenvo::bench
