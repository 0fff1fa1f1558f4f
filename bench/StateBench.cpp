#include "BenchModes.h"
#include "BenchSupport.h"

#include "AppState.h"
#include "GioTrash.h"
#include "HistoryKeeper.h"
#include "Trash.h"
#include "services/DiskScanner.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>

namespace plenvo::bench {

namespace {

// What a probe needs to report files as missing without touching the disk: each file's folder
// (as a path) and name, taken on the user-interface thread.
struct MissingName {
    std::string folder;
    std::string name;
};

// A folder for a private Trash beside `dir` (the same file system, so that the home Trash is
// the one used), made empty.
std::string privateDataHome(const std::string& dir)
{
    std::string path = dir;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    path += ".bench-data";
    QDir(QString::fromStdString(path)).removeRecursively();
    QDir().mkpath(QString::fromStdString(path));
    return path;
}

} // namespace

int stateMode(const std::string& dir, bool realTrash)
{
    // With a real Trash, a private one: the 200 files go there and come back.
    std::string dataHome;
    if (realTrash) {
        dataHome = privateDataHome(dir);
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dataHome));
    }
    AppState::Services services;
    services.trash = realTrash ? std::shared_ptr<Trash>(std::make_shared<GioTrash>())
                               : std::make_shared<AcceptingTrash>();
    std::vector<MissingName> reported;
    services.missingFiles = [&reported](const FileExistenceIndex& index) {
        std::unordered_map<std::string, std::uint32_t> folders;
        for (std::uint32_t i = 0; i < index.folderCount(); ++i)
            folders.emplace(index.pathOf(i), i);
        std::vector<FileExistenceIndex::Missing> missing;
        for (const MissingName& m : reported)
            missing.push_back({folders.at(m.folder), FileExistenceIndex::hashName(m.name)});
        return missing;
    };
    AppState state(services);
    state.history().setEnabled(false); // the scan is measured, not kept
    state.scanDirectory(dir);
    runUntil(state, &AppState::isScanningChanged, [&] { return !state.isScanning(); });
    if (!state.scanResult())
        return 1;
    const std::size_t files = state.scanResult()->allFiles().size();
    // 200 files for each measurement, fewer in a small folder (a third of its files each).
    const std::size_t count = std::min<std::size_t>(200, files / 3);
    if (count == 0) {
        std::fprintf(stderr, "plenvo-bench state: %s holds fewer than 3 files\n", dir.c_str());
        return 2;
    }

    // A batch of moves, all successful: the user-interface time from the request to the toast.
    std::vector<NodeRef> batch = spreadFiles(state.scanResult()->allFiles(), count);
    state.setInspectorCandidateNodes(batch);
    state.setSelectedNode(batch.front());
    double start = threadSeconds();
    state.editor().moveToTrash(batch);
    runUntil(state, &AppState::deleteProgressChanged, [&] { return !state.isDeleting(); });
    const double applySeconds = threadSeconds() - start;

    // Putting them back: wall time until the tree has them again, and the user-interface share.
    const auto undoWall = std::chrono::steady_clock::now();
    start = threadSeconds();
    const bool undone = state.editor().undo();
    runUntil(state, &AppState::deleteProgressChanged, [&] { return !state.isDeleting(); });
    const double undoUi = threadSeconds() - start;
    const double undoSeconds = secondsSince(undoWall);
    const std::size_t back = state.scanResult()->allFiles().size();

    // As many other files missing on disk: the disk check is replaced by one that reports
    // them, so that the folder given is never changed.
    for (const NodeRef& node : spreadFiles(state.scanResult()->allFiles(), count))
        reported.push_back({node->parent()->pathBytes(), std::string(node->nameBytes())});
    const std::int64_t revision = state.contentRevision();
    start = threadSeconds();
    state.checkExternalDeletions();
    runUntil(state, &AppState::contentRevisionChanged,
             [&] { return state.contentRevision() != revision; });
    const double checkSeconds = threadSeconds() - start;

    if (realTrash)
        QDir(QString::fromStdString(dataHome)).removeRecursively();
    std::printf("{\"files\":%zu,\"batch_files\":%zu,\"apply_ui_seconds\":%.4f,"
                "\"undo%zu_seconds\":%.4f,\"undo%zu_ui_ms\":%.2f,\"undo_restored_all\":%s,"
                "\"external_check_ui_seconds\":%.4f,\"trash\":\"%s\","
                "\"external_check\":\"probe reporting %zu files missing\"}\n",
                files, count, applySeconds, count, undoSeconds, count, undoUi * 1000.0,
                undone && back == files ? "true" : "false", checkSeconds,
                realTrash ? "private freedesktop Trash" : "accepting everything, touching nothing",
                count);
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
