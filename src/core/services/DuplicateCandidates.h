#pragma once

#include "models/FileNode.h"
#include "models/NodeFacts.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plenvo {

// The files a search for duplicates looks at, copied out of a tree on the thread that owns the
// tree, so that the search can run on any other thread while the tree changes. For each file:
// the id of its node, its location, and the device and inode the scan found.
//
// Kept compact for large trees: a file keeps its name and the index of its folder; a folder
// its name and the index of its parent. Locations are put together when asked for.
class DuplicateCandidates {
public:
    DuplicateCandidates() = default;

    // The files below `root` (or `root` itself when it is a file), in the tree's order (depth
    // first, a folder's children in their order), that take at least `minAllocatedSize` bytes
    // on disk. Passed over: entries that are not regular files or could not be read, and the
    // further names of a file with several (the scan counts those as taking no space). `facts`
    // gives the devices (the scanned folder and the mount points below it) and may be null.
    static DuplicateCandidates fromTree(const FileNode& root, const NodeFacts* facts,
                                        std::int64_t minAllocatedSize);

    std::size_t size() const { return m_files.size(); }
    bool empty() const { return m_files.empty(); }
    // Every file of the tree, also those passed over.
    std::int64_t filesInTree() const { return m_filesInTree; }

    const NodeId& id(std::size_t index) const { return m_files[index].id; }
    // The location, raw bytes.
    std::string path(std::size_t index) const;
    // The name, and the folder (an index, and its location).
    std::string_view name(std::size_t index) const
    {
        return std::string_view(m_names).substr(m_files[index].nameOffset,
                                                m_files[index].nameLength);
    }
    std::uint32_t folder(std::size_t index) const { return m_files[index].folder; }
    std::string folderPath(std::uint32_t folder) const;
    // As the scan found them; 0 when not known.
    std::uint64_t inode(std::size_t index) const { return m_files[index].inode; }
    std::uint64_t device(std::size_t index) const
    {
        return m_folders[m_files[index].folder].device;
    }

    // Bytes held, for measurements.
    std::size_t memoryUse() const;

private:
    struct Folder {
        std::uint64_t nameOffset;
        std::uint32_t nameLength;
        std::uint32_t parent; // kNoParent for the top
        std::uint64_t device;
    };
    struct File {
        NodeId id;
        std::uint64_t inode;
        std::uint64_t nameOffset;
        std::uint32_t nameLength;
        std::uint32_t folder;
    };
    static constexpr std::uint32_t kNoParent = UINT32_MAX;

    std::uint64_t addName(std::string_view name);

    std::vector<Folder> m_folders;
    std::vector<File> m_files;
    std::string m_names;
    std::int64_t m_filesInTree = 0;
};

} // namespace plenvo
