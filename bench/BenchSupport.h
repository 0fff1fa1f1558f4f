#pragma once

// Measurement helpers shared by the benchmark modes.

#include <malloc.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "models/NodeArena.h"

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

inline double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace plenvo::bench
