#pragma once

#include <string>

namespace plenvo {

// The desktop's clipboard. Behind an interface so that tests can see what was copied.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Replaces the clipboard's content with an item's location (exact bytes).
    virtual void copyPath(const std::string& path) = 0;
};

} // namespace plenvo
