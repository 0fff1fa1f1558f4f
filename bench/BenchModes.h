#pragma once

#include "models/FileNode.h"
#include "models/ScanTree.h"

#include <optional>

#include <string>
#include <vector>

namespace plenvo::bench {

// Each mode prints one JSON line on standard output and returns the exit status.
// threads: 0 for the application's choice.
int scanMode(const std::string& dir, int threads);
int resultMode(const std::string& dir);
int stateMode(const std::string& dir, bool realTrash);
int checkMode(const std::string& dir);
int importMode(const std::string& file);
int diffMode(const std::string& earlier, const std::string& current);
int historyMode(const std::string& source);
// Options: --cache (the hash cache the application uses), --readers N, --disks spinning|solid.
int duplicatesMode(const std::string& dir, const std::vector<std::string>& options);
// Needs a QApplication (main() makes one for this mode, on the offscreen platform).
int viewsMode(const std::string& dir);
// The Duplicates view over `pairs` groups of two and one group of `big` files made in memory.
// Needs a QApplication, as viewsMode() does.
int duplicatesViewMode(int pairs, int big);
// The changes since an earlier scan (an export) of a current one (an export or a folder) in the
// Changes view: comparing, building the view, opening a folder, following 200 moves. Needs a
// QApplication too.
int changesMode(const std::string& earlier, const std::string& current);

// Stop pressed during a scan of `dir`, in a main window: the time until the partial result is
// the current one and drawn. Options: --after MS (when to press, 1000 unless given), --runs N
// (5). Needs a QApplication, as viewsMode() does.
int stopMode(const std::string& dir, const std::vector<std::string>& options);

// Shared by the modes: a synchronous scan, and `count` files spread evenly over a list.
NodeRef scanTree(const std::string& dir);
std::vector<NodeRef> spreadFiles(const std::vector<NodeRef>& files, std::size_t count);
// A folder scanned now, or an export read whole (a message on standard error when it fails).
std::optional<ScanTree> loadScan(const std::string& path);
bool isFolder(const std::string& path);

} // namespace plenvo::bench
