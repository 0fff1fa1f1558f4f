#include "BenchModes.h"
#include "BenchSupport.h"

#include "services/BackgroundWork.h"
#include "services/DiskScanner.h"

#include <QCoreApplication>

#include <cstdio>

namespace plenvo::bench {

namespace {

void countNodes(const FileNode& root, std::int64_t& files, std::int64_t& folders)
{
    // The aggregates already hold the counts; walking would only measure the walk.
    files = root.cachedFileCount();
    folders = root.cachedDirCount();
}

} // namespace

int scanMode(const std::string& dir, int threads)
{
    DiskScanner scanner;
    if (threads > 0)
        scanner.setThreads(threads);
    const std::int64_t heapBefore = heapBytes();
    const auto start = std::chrono::steady_clock::now();

    // On a thread of its own, as in the application.
    DiskScanner::Outcome outcome;
    BackgroundWork work;
    work.start([&, job = scanner.prepare(dir, {})](const CancellationToken& token) {
        outcome = job(token);
    });
    work.waitUntilIdle(std::chrono::hours(24));
    const double seconds = secondsSince(start);
    if (!outcome.root) {
        std::fprintf(stderr, "scan failed\n");
        return 1;
    }
    const std::int64_t treeBytes = heapBytes() - heapBefore;
    std::int64_t files = 0, folders = 0;
    countNodes(*outcome.root, files, folders);
    const std::int64_t entries = files + folders;
    // The tree's share, and those of the note of what was found on disk (kept for the checks
    // for files deleted elsewhere) and of the facts kept beside the tree for exports, which the
    // heap growth includes.
    const double perEntry = entries ? double(treeBytes) / double(entries) : 0.0;
    const double indexPerEntry =
        entries ? double(outcome.existence->memoryUse()) / double(entries) : 0.0;
    const double factsPerEntry =
        entries ? double(outcome.facts->memoryUse()) / double(entries) : 0.0;
    std::printf("{\"threads\":%d,\"entries\":%lld,\"files\":%lld,\"folders\":%lld,\"total_size\":%lld,"
                "\"folders_own_size\":%lld,\"seconds\":%.3f,\"peak_rss_bytes\":%lld,\"tree_bytes_per_entry\":%.1f,"
                "\"existence_index_bytes_per_entry\":%.1f,\"facts_bytes_per_entry\":%.1f}\n",
                outcome.threads, (long long)entries, (long long)files, (long long)folders,
                (long long)outcome.root->cachedSize(),
                (long long)outcome.root->cachedFoldersOwnSize(), seconds, (long long)peakRssBytes(),
                perEntry - indexPerEntry - factsPerEntry, indexPerEntry, factsPerEntry);
    return 0;
}

} // namespace plenvo::bench
