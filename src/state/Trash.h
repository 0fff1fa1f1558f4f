#pragma once

#include <string>

namespace plenvo {

// Moves one item to the user's Trash. Implementations are called from worker threads, one
// call at a time per item, and must be thread-safe. Nothing is ever deleted permanently: a
// move that cannot be made leaves the item where it is and reports false.
class Trash {
public:
    virtual ~Trash() = default;
    // `path` is the item's exact location as raw bytes.
    virtual bool moveToTrash(const std::string& path) = 0;
};

} // namespace plenvo
