#include "DuplicateChoice.h"

#include <algorithm>

namespace plenvo {

namespace {

// Every file of each group but the one `better` prefers over all others (the first of equals);
// files without a date are never preferred to one with a date.
template <typename Better>
std::vector<NodeRef> allButPreferred(const DuplicateChoice::Groups& groups, Better better)
{
    std::vector<NodeRef> files;
    for (const DuplicateFinder::DuplicateGroup& group : groups) {
        std::size_t kept = 0;
        for (std::size_t i = 1; i < group.files.size(); ++i) {
            const auto date = group.files[i]->modificationDate();
            const auto keptDate = group.files[kept]->modificationDate();
            if (date && (!keptDate || better(*date, *keptDate)))
                kept = i;
        }
        for (std::size_t i = 0; i < group.files.size(); ++i)
            if (i != kept)
                files.push_back(group.files[i]);
    }
    return files;
}

} // namespace

std::vector<NodeRef> DuplicateChoice::allButNewest(const Groups& groups)
{
    return allButPreferred(groups, [](std::int64_t a, std::int64_t b) { return a > b; });
}

std::vector<NodeRef> DuplicateChoice::allButOldest(const Groups& groups)
{
    return allButPreferred(groups, [](std::int64_t a, std::int64_t b) { return a < b; });
}

std::vector<NodeRef> DuplicateChoice::outside(const Groups& groups, const FileNode& folder)
{
    std::vector<NodeRef> files;
    for (const DuplicateFinder::DuplicateGroup& group : groups) {
        const auto within = [&](const NodeRef& file) { return file->isWithin(folder); };
        if (!std::any_of(group.files.begin(), group.files.end(), within))
            continue;
        for (const NodeRef& file : group.files)
            if (!within(file))
                files.push_back(file);
    }
    return files;
}

std::vector<NodeRef> DuplicateChoice::allButFirst(const DuplicateFinder::DuplicateGroup& group)
{
    if (group.files.empty())
        return {};
    return {group.files.begin() + 1, group.files.end()};
}

DuplicateChoice::Split DuplicateChoice::split(const Groups& groups, const NodeIdSet& chosen)
{
    Split split;
    if (chosen.empty())
        return split;
    std::vector<NodeRef> inGroup;
    for (const DuplicateFinder::DuplicateGroup& group : groups) {
        inGroup.clear();
        for (const NodeRef& file : group.files)
            if (chosen.count(file->id()))
                inGroup.push_back(file);
        if (inGroup.empty())
            continue;
        split.chosenInGroups += std::int64_t(inGroup.size());
        if (inGroup.size() == group.files.size())
            ++split.keptGroups; // one copy always stays: none of this group moves
        else
            split.toMove.insert(split.toMove.end(), inGroup.begin(), inGroup.end());
    }
    return split;
}

} // namespace plenvo
