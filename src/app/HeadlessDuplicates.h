#pragma once

#include <string>

namespace plenvo {

// `plenvo --duplicates FOLDER`: scans FOLDER on the calling thread, without a display or an
// application object, searches the scan for files of identical content (DuplicateFinder, with
// the user's hash cache) and prints the groups on standard output as fdupes and jdupes print
// them: each path as the bytes it is, on a line of its own, and a blank line after each group.
// The groups that waste the most space come first; a group's files are in the tree's order.
// While it runs, what it is doing is shown on standard error when that is a terminal. Ctrl-C
// (SIGINT) or SIGTERM stops it.
class HeadlessDuplicates {
public:
    HeadlessDuplicates() = delete;

    // The exit status: 0 when the search completed (files that could not be read are left out
    // and counted on standard error); 2, with a message on standard error, when FOLDER cannot be
    // scanned or the groups cannot be written; 130 when interrupted.
    static int run(const std::string& folder);
};

} // namespace plenvo
