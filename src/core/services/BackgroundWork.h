#pragma once

#include "CancellationToken.h"

#include <chrono>
#include <functional>
#include <memory>

namespace plenvo {

// The one way work leaves the user-interface thread: each job runs on a thread of its own with
// a cancellation token, so a job stuck in the kernel (a network file system that stopped
// answering, a frozen file system) holds up neither the next job nor quitting.
//
// Destruction cancels every job and waits for them at most kShutdownWait; a job still running
// then is left to end on its own thread. A job must therefore own (or share) everything it
// uses and report its outcome by posting it, never by reaching back into its caller.
class BackgroundWork {
public:
    using Job = std::function<void(const CancellationToken&)>;

    static constexpr std::chrono::milliseconds kShutdownWait{800};

    BackgroundWork();
    ~BackgroundWork();
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    // Starts `job` at once on a new thread with a new token, which is returned.
    CancellationToken start(Job job);
    // Starts `job` with a token the caller made (and may already share).
    void start(CancellationToken token, Job job);

    // Asks every running job to stop.
    void cancelAll();
    // Jobs started that have not returned.
    int running() const;
    // Waits until no job runs, at most `timeout`; true when none does.
    bool waitUntilIdle(std::chrono::milliseconds timeout) const;

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

} // namespace plenvo
