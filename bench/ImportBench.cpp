#include "BenchModes.h"
#include "BenchSupport.h"

#include "services/NcduReader.h"

#include <cstdio>

namespace plenvo::bench {

int importMode(const std::string& file)
{
    const auto start = std::chrono::steady_clock::now();
    const NcduReader::Outcome outcome = NcduReader::readFile(file);
    const double seconds = secondsSince(start);
    if (!outcome.root) {
        std::fprintf(stderr, "plenvo-bench: %s: %s\n", file.c_str(),
                     qPrintable(outcome.error.message()));
        return 2;
    }
    const std::int64_t files = outcome.root->cachedFileCount();
    const std::int64_t folders = outcome.root->cachedDirCount();
    std::printf("{\"entries\":%lld,\"files\":%lld,\"folders\":%lld,\"total_size\":%lld,"
                "\"seconds\":%.3f,\"peak_rss_bytes\":%lld}\n",
                (long long)(files + folders), (long long)files, (long long)folders,
                (long long)outcome.root->cachedSize(), seconds, (long long)peakRssBytes());
    return 0;
}

} // namespace plenvo::bench
