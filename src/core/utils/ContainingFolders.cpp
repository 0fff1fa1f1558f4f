#include "ContainingFolders.h"

#include <unordered_set>

namespace plenvo {

std::string_view ContainingFolders::of(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos || slash == 0)
        return "/";
    return path.substr(0, slash);
}

ContainingFolders::Choice ContainingFolders::choose(const std::vector<std::string>& paths,
                                                    std::size_t limit)
{
    Choice choice;
    std::unordered_set<std::string_view> seen;
    for (const std::string& path : paths) {
        const std::string_view folder = of(path);
        if (!seen.insert(folder).second)
            continue;
        if (choice.chosen.size() < limit)
            choice.chosen.emplace_back(folder);
        else
            ++choice.leftOut;
    }
    return choice;
}

} // namespace plenvo
