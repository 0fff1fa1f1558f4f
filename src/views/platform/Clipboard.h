#pragma once

#include <string>
#include <vector>

namespace plenvo {

// The desktop's clipboard. Behind an interface so that tests can see what was copied.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Replaces the clipboard's content with items' locations (exact bytes), one per line.
    virtual void copyPaths(const std::vector<std::string>& paths) = 0;
};

} // namespace plenvo
