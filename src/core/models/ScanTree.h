#pragma once

#include "FileNode.h"
#include "NodeFacts.h"

#include <cstdint>
#include <memory>
#include <string>

namespace plenvo {

// A scanned tree with what is known beside it, as work on another thread takes it: a result's
// root, its facts, the scanned location and the date of the scan. Copying it copies references
// only, so the user-interface thread can hand one over at no cost. The tree itself is shared, not
// copied: whoever hands it over must not change it until the work is done (or cancelled and
// returned).
struct ScanTree {
    NodeRef root;
    std::shared_ptr<const NodeFacts> facts; // may be null
    std::string rootPath;                   // the scanned location, raw bytes
    std::int64_t scanDate = 0;              // milliseconds since the Unix epoch
};

} // namespace plenvo
