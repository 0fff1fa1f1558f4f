#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace plenvo {

// The folders that hold a set of items (raw-byte locations), for opening them where the items
// themselves cannot be shown selected: each folder once, in the order the items first name
// them, and no more than a few, however many items there are.
class ContainingFolders {
public:
    struct Choice {
        std::vector<std::string> chosen;
        std::size_t leftOut = 0; // distinct folders beyond the limit
    };

    ContainingFolders() = delete;

    // The folder that holds `path` ("/" for an item of the root, trailing slashes ignored).
    static std::string_view of(std::string_view path);
    // At most `limit` of the distinct folders that hold `paths`.
    static Choice choose(const std::vector<std::string>& paths, std::size_t limit);
};

} // namespace plenvo
