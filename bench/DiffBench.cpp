#include "BenchModes.h"
#include "BenchSupport.h"

#include "services/DiskScanner.h"
#include "services/NcduReader.h"
#include "services/ScanComparer.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace plenvo::bench {

namespace {

// A field of /proc/self/status in bytes ("VmRSS", "VmHWM"), -1 when it cannot be read.
std::int64_t statusBytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with(field + ':'))
            return std::stoll(line.substr(field.size() + 1)) * 1024;
    return -1;
}

} // namespace

bool isFolder(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::optional<ScanTree> loadScan(const std::string& path)
{
    if (isFolder(path)) {
        DiskScanner::Outcome scan = DiskScanner().scanNow(path, {});
        return ScanTree{scan.root, scan.facts, path, 0};
    }
    NcduReader::Outcome read = NcduReader::readFile(path);
    if (!read.root) {
        std::fprintf(stderr, "plenvo-bench: %s: %s\n", path.c_str(),
                     qPrintable(read.error.message()));
        return std::nullopt;
    }
    return ScanTree{read.root, read.facts, read.rootPath, read.scanDate.value_or(0)};
}

int diffMode(const std::string& earlier, const std::string& current)
{
    const std::optional<ScanTree> now = loadScan(current);
    const std::optional<ScanTree> before = isFolder(earlier) ? loadScan(earlier) : std::nullopt;
    if (!now || (isFolder(earlier) && !before))
        return 2;

    // The peak of the resident set is reset after the current tree is in memory and the heap
    // has given back what it holds free: what it grows by from here is the comparison's.
    malloc_trim(0);
    const std::int64_t baseline = statusBytes("VmRSS");
    const bool peakReset = bool(std::ofstream("/proc/self/clear_refs") << "5" << std::flush);
    const auto start = std::chrono::steady_clock::now();
    const double cpuBefore = threadSeconds();
    const ScanComparer::Outcome outcome = before ? ScanComparer::compareTrees(*before, *now)
                                                 : ScanComparer::compareWithExport(earlier, *now);
    const double seconds = secondsSince(start);
    const double cpuSeconds = threadSeconds() - cpuBefore;
    const std::int64_t peak = statusBytes("VmHWM");
    if (!outcome.comparison) {
        std::fprintf(stderr, "plenvo-bench: %s: %s\n", earlier.c_str(),
                     qPrintable(outcome.error.message()));
        return 2;
    }
    const ScanComparison& comparison = *outcome.comparison;
    const ScanComparison::Summary& summary = comparison.summary();
    std::printf("{\"old_entries\":%lld,\"new_entries\":%lld,\"changed\":%zu,\"moved\":%lld,"
                "\"seconds\":%.3f,\"cpu_seconds\":%.3f,\"extra_peak_bytes\":%lld,"
                "\"result_bytes\":%zu,"
                "\"net_change\":%lld}\n",
                (long long)summary.oldEntries,
                (long long)(now->root->cachedFileCount() + now->root->cachedDirCount()),
                comparison.largestChanges().size(), (long long)summary.movedFolders, seconds, cpuSeconds,
                (long long)(peakReset && baseline >= 0 && peak >= 0 ? peak - baseline : -1),
                comparison.memoryUse(), (long long)summary.netChange());
    return 0;
}

} // namespace plenvo::bench
