#pragma once

// Measurement helpers shared by the benchmark modes.

#include <malloc.h>
#include <sys/resource.h>
#include <time.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "AppState.h"
#include "Trash.h"
#include "models/NodeArena.h"

#include <QEventLoop>

#include <functional>

namespace plenvo::bench {

// Bytes held by the heap and by the node arenas right now.
inline std::int64_t heapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return std::int64_t(info.uordblks) + std::int64_t(info.hblkhd) + NodeArena::mappedBytes();
}

inline std::int64_t peakRssBytes()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return std::int64_t(usage.ru_maxrss) * 1024;
}

// CPU time of the calling thread: the work done on it, not the time it waited or that other
// processes took.
inline double threadSeconds()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// A Trash that reports every move, and every restore, as done and touches nothing: the
// benchmarks measure the application's own work, and never change the folder they were given.
class AcceptingTrash final : public Trash {
public:
    Moved moveToTrash(const EntryIdentity&) override { return {MoveStatus::moved, {}}; }
    RestoreStatus restore(const EntryIdentity&, const Ticket&) override
    {
        return RestoreStatus::restored;
    }
};

// Runs the event loop until `signal` of `state` finds `done` true.
template <typename Signal>
void runUntil(AppState& state, Signal signal, const std::function<bool()>& done)
{
    QEventLoop loop;
    QObject::connect(&state, signal, &loop, [&] {
        if (done())
            loop.quit();
    });
    if (!done())
        loop.exec();
}

inline double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace plenvo::bench
