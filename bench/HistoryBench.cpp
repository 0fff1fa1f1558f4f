#include "BenchModes.h"
#include "BenchSupport.h"

#include "services/ScanHistory.h"

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
    std::printf("{\"entries\":%lld,\"ui_thread_seconds\":%.6f,\"ui_thread_cpu_seconds\":%.6f,"
                "\"save_seconds\":%.3f,\"save_cpu_seconds\":%.3f,\"bytes_on_disk\":%lld,"
                "\"bytes_per_entry\":%.2f,\"list_seconds\":%.4f}\n",
                (long long)entries, uiSeconds, uiCpu, seconds, workerCpu, (long long)bytes,
                entries ? double(bytes) / double(entries) : 0.0, listSeconds);
    history.removeAll();
    return 0;
}

} // namespace plenvo::bench
