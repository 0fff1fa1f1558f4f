#pragma once

#include <string>

namespace plenvo {

// `plenvo --export OUT FOLDER`: scans FOLDER on the calling thread, without a display or an
// application object, and writes the scan to OUT in ncdu's JSON export format (see NcduWriter).
// OUT is created before the scan starts, so that a mistake in it is reported at once; when it
// lies in FOLDER, the scan leaves out the unfinished file it is written to. While the
// scan runs, the number of files met is shown on standard error when that is a terminal.
// Ctrl-C (SIGINT) or SIGTERM stops the scan and leaves OUT as it was.
class HeadlessExport {
public:
    HeadlessExport() = delete;

    // The exit status: 0 when OUT is written; 2, with a message on standard error, when it
    // cannot be; 130 when interrupted.
    static int run(const std::string& out, const std::string& folder,
                   const std::string& programVersion);
};

} // namespace plenvo
