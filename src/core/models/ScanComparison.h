#pragma once

#include "FileNode.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace plenvo {

// What changed between an earlier scan of a folder and the current one, as a tree of the items
// that changed and the folders that hold them (built by ScanComparer, read-only afterwards, from
// any thread).
//
// Items are matched by location; a folder found under another name or place (the same device and
// inode, most of its content the same) is one `moved` item at its new location, holding the
// changes of its content, rather than a gone folder and a new one.
//
// Every item has a `change`: what it adds to the net change. For an item in both scans that is
// its new size less its old size; for a new item its size; for a gone item its old size, negative.
// A folder's change is the sum of its children's, and the root's is the difference of the two
// totals. Moves are counted by what moved, not by where: a renamed folder changes its old and its
// new parent by nothing, and itself by what its content gained or lost (its oldSize and newSize
// show where the bytes went). A folder of the current scan also tallies, over its subtree, how
// many bytes and files grew, shrank, appeared and went.
//
// Items of the current scan hold their node, so they can be shown and acted on (a node that has
// left the tree since keeps its location). A gone folder holds what it held as children. A new
// folder holds nothing unless a moved folder lies below it (holdsMove): what it holds is its
// node's, all of it new, and the comparison does not copy it (a new folder may be large). With a
// moved folder below, each of its children is an item, the moved one among them.
class ScanComparison {
public:
    using Index = std::uint32_t;
    static constexpr Index kNone = UINT32_MAX;

    enum class Kind : std::uint8_t {
        grown,     // in both scans, larger now (a folder: its changes add up to growth)
        shrunk,    // in both scans, smaller now
        unchanged, // a folder in both scans whose changes add up to nothing
        appeared,  // only in the current scan (a folder: with all it holds)
        gone,      // only in the earlier scan
        moved,     // a folder found under another name or place (see oldPath())
    };

    struct Tally {
        std::int64_t bytes = 0;
        std::int64_t files = 0;
        Tally& operator+=(const Tally& other)
        {
            bytes += other.bytes;
            files += other.files;
            return *this;
        }
        friend bool operator==(const Tally&, const Tally&) = default;
    };

    struct Item {
        Kind kind = Kind::unchanged;
        bool isDirectory = false;
        std::int64_t oldSize = 0;  // in the earlier scan (0 when it appeared)
        std::int64_t newSize = 0;  // now (0 when gone)
        std::int64_t change = 0;   // see above
        std::int64_t oldFiles = 0; // files, as the sizes
        std::int64_t newFiles = 0;
        // Over the subtree: files that grew (by how much), shrank, appeared and went.
        Tally grown, shrunk, appeared, gone;
        bool holdsMove = false; // a folder moved from elsewhere lies below
        NodeRef node;           // in the current tree; null when gone
        Index parent = kNone;

    private:
        friend class ScanComparison;
        friend class ScanComparer;
        std::uint32_t m_firstChild = 0;
        std::uint32_t m_childCount = 0;
        std::uint32_t m_nameOffset = 0; // of a gone item's name in m_names
        std::uint32_t m_nameLength = 0;
    };

    struct Summary {
        std::string oldRootPath;
        std::string newRootPath;
        std::optional<std::int64_t> oldScanDate; // milliseconds since the Unix epoch
        std::int64_t newScanDate = 0;
        std::int64_t oldTotal = 0; // bytes
        std::int64_t newTotal = 0;
        std::int64_t oldFiles = 0;
        std::int64_t newFiles = 0;
        std::int64_t oldEntries = 0; // files and folders read from the earlier scan
        Tally grown, shrunk, appeared, gone;
        std::int64_t movedFolders = 0;
        std::int64_t netChange() const { return newTotal - oldTotal; }
    };

    const Summary& summary() const { return m_summary; }

    // The compared location itself: always present, a folder's children being its changes.
    static constexpr Index root() { return 0; }
    std::size_t size() const { return m_items.size(); }
    const Item& item(Index index) const { return m_items[index]; }
    // Folders first, then by the size of the change, largest first, then by name.
    std::span<const Index> children(Index index) const
    {
        const Item& it = m_items[index];
        return std::span<const Index>(m_children).subspan(it.m_firstChild, it.m_childCount);
    }
    // The name (raw bytes); for the root, the location compared.
    std::string_view name(Index index) const;
    // Where the item is now or, when gone, was (oldPath()); raw bytes.
    std::string path(Index index) const;
    // Where the item was in the earlier scan: its path, except in and below a moved folder.
    std::string oldPath(Index index) const;

    // The changes in themselves, largest first (by the size of the change, then level by level
    // in the tree, siblings as children() orders them): files that grew or shrank, new and gone
    // items (a folder as one, not what it holds, unless it holds a moved folder) and moved
    // folders, but not the folders that merely hold changes. At most `limit` of them. Apart from
    // the moved folders, whose changes are those of their content, they add up to the net
    // change.
    std::vector<Index> largestChanges(std::size_t limit = SIZE_MAX) const;
    bool isChangeInItself(Index index) const;

    // Bytes held, for measurements.
    std::size_t memoryUse() const;

private:
    friend class ScanComparer;
    std::vector<Item> m_items;
    std::vector<Index> m_children;
    std::string m_names;
    std::vector<std::pair<Index, std::string>> m_movedFrom; // sorted by index
    Summary m_summary;
};

} // namespace plenvo
