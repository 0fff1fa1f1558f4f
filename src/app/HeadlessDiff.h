#pragma once

#include <cstddef>
#include <string>

namespace plenvo {

// `plenvo --diff [--limit N] [--json] OLD NEW`: compares two scans of a folder without a display
// or an application object, each a saved scan (read as it streams by, for OLD) or a folder
// (scanned now), and prints what changed (see ScanComparer): a summary, then the largest changes
// in themselves, at most `limit` (0: all), as a table (change, kind, path) or as JSON lines (a
// summary object, then one object per change). Paths are printed as the bytes they are.
// Ctrl-C (SIGINT) or SIGTERM stops it.
class HeadlessDiff {
public:
    HeadlessDiff() = delete;

    // The exit status: 0 when the changes are printed; 2, with a message on standard error,
    // when a scan cannot be read or made; 130 when interrupted.
    static int run(const std::string& earlier, const std::string& current, std::size_t limit,
                   bool json);
};

} // namespace plenvo
