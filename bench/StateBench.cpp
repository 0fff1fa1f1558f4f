#include "BenchModes.h"
#include "BenchSupport.h"

#include "AppState.h"
#include "Trash.h"
#include "services/DiskScanner.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <cstdio>
#include <unordered_map>

namespace plenvo::bench {

int stateMode(const std::string& dir)
{
    AppState state(std::make_shared<AcceptingTrash>());
    state.scanDirectory(dir);
    runUntil(state, &AppState::isScanningChanged, [&] { return !state.isScanning(); });
    if (!state.scanResult())
        return 1;
    const std::size_t files = state.scanResult()->allFiles().size();
    // 200 files for each measurement, fewer in a small folder (half its files each).
    const std::size_t count = std::min<std::size_t>(200, files / 2);
    if (count == 0) {
        std::fprintf(stderr, "plenvo-bench state: %s holds fewer than 2 files\n", dir.c_str());
        return 2;
    }

    // A batch of moves, all successful.
    std::vector<NodeRef> batch = spreadFiles(state.scanResult()->allFiles(), count);
    state.setInspectorCandidateNodes(batch);
    state.setSelectedNode(batch.front());
    double start = threadSeconds();
    state.deleteFiles(batch);
    runUntil(state, &AppState::deleteProgressChanged, [&] { return !state.isDeleting(); });
    const double applySeconds = threadSeconds() - start;

    // As many other files missing on disk: the disk check is replaced by one that reports
    // them, so that the folder given is never changed.
    const FileExistenceIndex& index = *state.existenceIndex();
    std::unordered_map<std::string, std::uint32_t> folders;
    for (std::uint32_t i = 0; i < index.folderCount(); ++i)
        folders.emplace(index.pathOf(i), i);
    std::vector<FileExistenceIndex::Missing> missing;
    for (const NodeRef& node : spreadFiles(state.scanResult()->allFiles(), count))
        missing.push_back({folders.at(node->parent()->pathBytes()),
                           FileExistenceIndex::hashName(node->nameBytes())});
    state.setMissingFilesProbe([missing](const FileExistenceIndex&) { return missing; });
    const std::int64_t revision = state.contentRevision();
    start = threadSeconds();
    state.checkExternalDeletions();
    runUntil(state, &AppState::contentRevisionChanged,
             [&] { return state.contentRevision() != revision; });
    const double checkSeconds = threadSeconds() - start;

    std::printf("{\"files\":%zu,\"batch_files\":%zu,\"apply_ui_seconds\":%.4f,"
                "\"external_check_ui_seconds\":%.4f,"
                "\"external_check\":\"probe reporting %zu files missing\"}\n",
                files, count, applySeconds, checkSeconds, count);
    return 0;
}

int checkMode(const std::string& dir)
{
    DiskScanner scanner;
    const DiskScanner::Outcome outcome = scanner.scanNow(dir, {});
    if (!outcome.existence) {
        std::fprintf(stderr, "plenvo-bench check: the scan of %s failed\n", dir.c_str());
        return 1;
    }
    const std::int64_t peakBefore = peakRssBytes();
    const auto start = std::chrono::steady_clock::now();
    const auto missing = outcome.existence->missingFiles();
    const double seconds = secondsSince(start);
    std::printf("{\"folders\":%zu,\"files\":%zu,\"missing\":%zu,\"seconds\":%.3f,"
                "\"peak_rss_bytes\":%lld,\"peak_rss_added_bytes\":%lld}\n",
                outcome.existence->folderCount(), outcome.existence->fileCount(), missing.size(),
                seconds, (long long)peakRssBytes(), (long long)(peakRssBytes() - peakBefore));
    return 0;
}

} // namespace plenvo::bench
