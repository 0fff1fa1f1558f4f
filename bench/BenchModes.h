#pragma once

#include "models/FileNode.h"

#include <string>
#include <vector>

namespace plenvo::bench {

// Each mode prints one JSON line on standard output and returns the exit status.
int scanMode(const std::string& dir);
int resultMode(const std::string& dir);
int stateMode(const std::string& dir);
int checkMode(const std::string& dir);
int importMode(const std::string& file);
// Options: --cache (the hash cache the application uses), --readers N, --disks spinning|solid.
int duplicatesMode(const std::string& dir, const std::vector<std::string>& options);
// Needs a QApplication (main() makes one for this mode, on the offscreen platform).
int viewsMode(const std::string& dir);

// Shared by the modes: a synchronous scan, and `count` files spread evenly over a list.
NodeRef scanTree(const std::string& dir);
std::vector<NodeRef> spreadFiles(const std::vector<NodeRef>& files, std::size_t count);

} // namespace plenvo::bench
