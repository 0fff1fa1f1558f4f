#pragma once

#include "models/FileNode.h"
#include "services/DuplicateFinder.h"

#include <cstdint>
#include <vector>

namespace plenvo {

// Which copies of duplicate groups to move to the Trash: the choices the Duplicates view offers
// in one go, and the rule every move of copies obeys, that at least one copy of each group
// stays. Pure functions of the groups; files keep the order of their groups.
class DuplicateChoice {
public:
    using Groups = std::vector<DuplicateFinder::DuplicateGroup>;

    // Every copy but the one changed last (the first of those changed at that time; the first
    // of the group when no date is known).
    static std::vector<NodeRef> allButNewest(const Groups& groups);
    // Every copy but the one changed first (as above).
    static std::vector<NodeRef> allButOldest(const Groups& groups);
    // In each group with at least one copy within `folder` (at any depth): the copies outside
    // it. Groups without a copy there give none.
    static std::vector<NodeRef> outside(const Groups& groups, const FileNode& folder);
    // Every copy of the group but its first.
    static std::vector<NodeRef> allButFirst(const DuplicateFinder::DuplicateGroup& group);

    // What a move of the `chosen` files does to the groups: a group whose every copy is chosen
    // moves none of them (it is kept whole); from the others the chosen copies move.
    struct Split {
        std::vector<NodeRef> toMove;
        std::int64_t keptGroups = 0;      // groups kept whole
        std::int64_t chosenInGroups = 0;  // chosen files found in a group, moved or kept
    };
    static Split split(const Groups& groups, const NodeIdSet& chosen);
};

} // namespace plenvo
