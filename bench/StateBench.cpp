#include "BenchModes.h"
#include "BenchSupport.h"

#include "AppState.h"
#include "Trash.h"

#include <QCoreApplication>
#include <QEventLoop>

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

    // A batch of 200 moves, all successful.
    std::vector<NodeRef> batch = spreadFiles(state.scanResult()->allFiles(), 200);
    state.setInspectorCandidateNodes(batch);
    state.setSelectedNode(batch.front());
    double start = threadSeconds();
    state.deleteFiles(batch);
    runUntil(state, &AppState::deleteProgressChanged, [&] { return !state.isDeleting(); });
    const double applySeconds = threadSeconds() - start;

    // 200 more files missing on disk: the disk check is replaced by one that reports them,
    // so that the folder given is never changed.
    const FileExistenceIndex& index = *state.existenceIndex();
    std::unordered_map<std::string, std::uint32_t> folders;
    for (std::uint32_t i = 0; i < index.folderCount(); ++i)
        folders.emplace(index.pathOf(i), i);
    std::vector<FileExistenceIndex::Missing> missing;
    for (const NodeRef& node : spreadFiles(state.scanResult()->allFiles(), 200))
        missing.push_back({folders.at(node->parent()->pathBytes()),
                           FileExistenceIndex::hashName(node->nameBytes())});
    state.setMissingFilesProbe([missing](const FileExistenceIndex&) { return missing; });
    const std::int64_t revision = state.contentRevision();
    start = threadSeconds();
    state.checkExternalDeletions();
    runUntil(state, &AppState::contentRevisionChanged,
             [&] { return state.contentRevision() != revision; });
    const double checkSeconds = threadSeconds() - start;

    std::printf("{\"files\":%zu,\"apply200_ui_seconds\":%.4f,\"external_check_ui_seconds\":%.4f,"
                "\"external_check\":\"probe reporting 200 files missing\"}\n",
                files, applySeconds, checkSeconds);
    return 0;
}

} // namespace plenvo::bench
