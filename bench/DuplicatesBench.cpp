#include "BenchModes.h"
#include "BenchSupport.h"

#include "services/DiskScanner.h"
#include "services/DuplicateFinder.h"
#include "services/HashCache.h"

#include <cstdio>
#include <cstring>

namespace plenvo::bench {

int duplicatesMode(const std::string& dir, const std::vector<std::string>& options)
{
    DuplicateFinder finder(1024, 1048576);
    DuplicateFinder::Readers readers;
    for (std::size_t i = 0; i < options.size(); ++i) {
        const std::string& option = options[i];
        const bool hasValue = i + 1 < options.size();
        if (option == "--cache") {
            finder.setHashCacheFile(HashCache::defaultFile());
        } else if (option == "--readers" && hasValue) {
            readers.count = std::atoi(options[++i].c_str());
        } else if (option == "--disks" && hasValue) {
            const std::string& disks = options[++i];
            readers.disks = disks == "spinning" ? DuplicateFinder::Readers::Disks::spinning
                                                : DuplicateFinder::Readers::Disks::solidState;
        } else {
            std::fprintf(stderr, "unknown option %s\n", option.c_str());
            return 2;
        }
    }
    finder.setReaders(readers);

    const DiskScanner::Outcome scan = DiskScanner().scanNow(dir, {});
    if (!scan.root) {
        std::fprintf(stderr, "scan failed\n");
        return 1;
    }
    const std::int64_t scanPeak = peakRssBytes();

    // The search as the application runs it: the files taken from the tree, then searched.
    const auto start = std::chrono::steady_clock::now();
    const DuplicateCandidates files = finder.candidates(*scan.root, scan.facts.get());
    const double snapshotSeconds = secondsSince(start);
    const DuplicateFinder::Outcome outcome = finder.find(files, CancellationToken::create());
    const double seconds = secondsSince(start);

    std::printf("{\"files\":%lld,\"candidates\":%lld,\"bytes_read\":%lld,\"groups\":%zu,"
                "\"wasted_bytes\":%lld,\"seconds\":%.3f,\"peak_rss_bytes\":%lld,"
                "\"scan_peak_rss_bytes\":%lld,\"snapshot_seconds\":%.4f,\"cached_files\":%lld,"
                "\"unreadable\":%lld,\"changed\":%lld}\n",
                (long long)outcome.files, (long long)outcome.candidates,
                (long long)outcome.bytesRead, outcome.groups.size(),
                (long long)outcome.wastedSpace(), seconds, (long long)peakRssBytes(),
                (long long)scanPeak, snapshotSeconds, (long long)outcome.cachedFiles,
                (long long)outcome.unreadable, (long long)outcome.changed);
    return 0;
}

} // namespace plenvo::bench
