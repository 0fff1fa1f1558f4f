#include "BenchModes.h"
#include "BenchSupport.h"

#include "AppState.h"
#include "FileExistenceCheck.h"
#include "Trash.h"

#include <QCoreApplication>
#include <QTest>

#include <time.h>

#include <cstdio>

namespace plenvo::bench {

namespace {

// A Trash that reports every move as done and touches nothing: the benchmark measures the
// application's own work, and never changes the folder it was given.
class AcceptingTrash final : public Trash {
public:
    bool moveToTrash(const std::string&) override { return true; }
};

// CPU time of the calling thread: the work done on it, not the time it waited.
double threadSeconds()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

bool waitFor(const std::function<bool()>& done)
{
    return QTest::qWaitFor(done, 600000);
}

} // namespace

int stateMode(const std::string& dir)
{
    AppState state(std::make_shared<AcceptingTrash>());
    state.scanDirectory(dir);
    if (!waitFor([&] { return !state.isScanning(); }) || !state.scanResult())
        return 1;
    const std::size_t files = state.scanResult()->allFiles().size();

    // A batch of 200 moves, all successful.
    std::vector<NodeRef> batch = spreadFiles(state.scanResult()->allFiles(), 200);
    state.setInspectorCandidateNodes(batch);
    state.setSelectedNode(batch.front());
    double start = threadSeconds();
    state.deleteFiles(batch);
    if (!waitFor([&] { return !state.isDeleting(); }))
        return 1;
    const double applySeconds = threadSeconds() - start;

    // 200 more files missing on disk: the disk check is replaced by one that reports them,
    // so that the folder given is never changed.
    std::vector<const FileNode*> missing;
    for (const NodeRef& node : spreadFiles(state.scanResult()->allFiles(), 200))
        missing.push_back(node.get());
    state.setMissingFilesProbe([missing](const FileExistenceCheck&) { return missing; });
    const std::int64_t revision = state.contentRevision();
    start = threadSeconds();
    state.checkExternalDeletions();
    if (!waitFor([&] { return state.contentRevision() != revision; }))
        return 1;
    const double checkSeconds = threadSeconds() - start;

    std::printf("{\"files\":%zu,\"apply200_ui_seconds\":%.4f,\"external_check_ui_seconds\":%.4f,"
                "\"external_check\":\"fake probe reporting 200 missing\"}\n",
                files, applySeconds, checkSeconds);
    return 0;
}

} // namespace plenvo::bench
