#pragma once

#include "FileNode.h"

#include <QCollator>
#include <QLocale>

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace plenvo {

// The order in which file lists are shown: larger files first; equal sizes by name, compared
// on the display form of the names with the locale's case-insensitive collation; files that
// still tie keep the order they had in the list being ordered (the sorts are stable).
//
// Disks are full of files of equal size (empty files, one-block files), so the name
// comparison runs very often. Names made of printable ASCII are compared through per-
// character collation ranks, read once from the collator, packed nine to a 64-bit key; this
// fast path is used only after checking that the locale's collation of ASCII text is plain
// rank order (no contractions, nothing ignorable). Everything else goes to the collator.
class FileOrder {
public:
    explicit FileOrder(const QLocale& locale = QLocale());

    // Negative, zero or positive as a's name orders before, with, or after b's.
    int compareNames(const FileNode& a, const FileNode& b) const;
    // Whether a comes before b (by size, then by name; ties are not ordered).
    bool before(const FileNode& a, const FileNode& b) const;

    // Sorts a list into file order; files that tie keep their relative order.
    void sort(std::vector<NodeRef>& files) const;
    // Splits `files` into `groupCount` lists by `groupOf` (one entry per file) and sorts each
    // list into file order, files that tie keeping their order in `files`. Faster than
    // sorting each list on its own: the files are read once, in the order given.
    std::vector<std::vector<NodeRef>> sortedGroups(std::span<const NodeRef> files,
                                                   std::span<const std::uint8_t> groupOf,
                                                   std::size_t groupCount) const;
    // The first `count` files of `files` in file order, as a full stable sort would give
    // them, found without sorting the whole list.
    std::vector<NodeRef> first(std::span<const NodeRef> files, std::size_t count) const;

    // Whether this locale allows the ASCII fast path (for tests and measurements).
    bool usesFastPath() const;

private:
    struct Entry;
    struct Ranks;

    static std::shared_ptr<const Ranks> ranksFor(const QCollator& collator);
    static std::shared_ptr<const Ranks> computeRanks(const QCollator& collator);
    class SortKeys;

    Entry entryFor(const FileNode* node, std::uint32_t index) const;
    int compareEntries(const Entry& a, const Entry& b, SortKeys* keys) const;
    bool entryBefore(const Entry& a, const Entry& b, SortKeys* keys) const;

    QCollator m_collator;
    std::shared_ptr<const Ranks> m_ranks; // null when the fast path is not valid
};

} // namespace plenvo
