#pragma once

#include <string>
#include <vector>

namespace plenvo {

// The desktop's file manager. Behind an interface so that tests can see what was asked.
class FileManager {
public:
    virtual ~FileManager() = default;
    // Asks for a file-manager window that shows these items selected (exact locations, raw
    // bytes). Returns at once and never reports a failure: the user sees the window or not.
    virtual void revealItems(const std::vector<std::string>& paths) = 0;
};

} // namespace plenvo
