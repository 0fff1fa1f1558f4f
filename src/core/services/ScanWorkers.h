#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace plenvo {

class NodeArena;

// The threads that help one scan: each takes the task put in last first (so the walk goes deep
// before it goes wide, and what it holds stays small) and builds nodes in an arena of its own.
//
// The threads are not joined: one stuck in a file-system call (a mount that stopped answering)
// must hold up neither the end of its scan nor quitting. close() drops the tasks not started and
// lets every thread end after its current task; waitForExit() waits for that, briefly. Tasks
// therefore own (or share) everything they use.
class ScanWorkers {
public:
    using Task = std::function<void(NodeArena& arena)>;

    explicit ScanWorkers(int threads);
    // Closes (see close()); does not wait.
    ~ScanWorkers();
    ScanWorkers(const ScanWorkers&) = delete;
    ScanWorkers& operator=(const ScanWorkers&) = delete;

    // Puts tasks before every task waiting, the first of them first.
    void pushFront(std::vector<Task> tasks);
    void close();
    // Waits at most `timeout` for every thread to end; true when they have.
    bool waitForExit(std::chrono::milliseconds timeout);

    // Wakes whoever waits in waitForProgress(); called by a task that finished.
    void notifyProgress();
    // A mark of the progress so far: take it before looking at what the tasks did, then wait.
    std::uint64_t progressTicket() const;
    // Waits until notifyProgress() is called after `ticket` was taken, at most `timeout`.
    void waitForProgress(std::uint64_t ticket, std::chrono::milliseconds timeout);

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

} // namespace plenvo
