#pragma once

#include "models/FileNode.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plenvo {

// Finds the files of a scan that are no longer on disk.
//
// Built on the thread that owns the tree, where it keeps, per file, only the node's address (as
// a key, never to be followed elsewhere), a hash of its name and its folder; the folders' names
// are copied. Then it runs on any thread: each folder is listed once, and a file whose name is
// not among the entries listed is missing. Listing never follows links, so a dangling
// symbolic link is still there. Only "no such entry" counts as missing: a folder that is gone
// (ENOENT, ENOTDIR) loses all its files, while a folder that cannot be read now, or an error
// while listing it, keeps them. Should two names share a hash, the missing one is kept: a
// file is never reported missing by mistake.
//
// The part on the tree's thread runs in time proportional to the files with a small constant:
// it reads each node once, in the order of the list, and writes 12 bytes per file.
class FileExistenceCheck {
public:
    explicit FileExistenceCheck(const std::vector<NodeRef>& files);

    // The addresses of the nodes of the missing files, in the order they were given.
    std::vector<const FileNode*> missingFiles() const;

    std::size_t fileCount() const { return m_files.size(); }

private:
    static constexpr std::uint32_t kNoParent = UINT32_MAX;

    // A folder is its parent's location plus its name or, without a parent, a location.
    struct Folder {
        std::uint32_t parent;
        std::uint32_t nameOffset;
        std::uint32_t nameLength;
    };
    struct File {
        const FileNode* node;
        std::uint32_t nameHash;
    };
    // From file `first` on, the files are in folder `folder` (until the next run).
    struct Run {
        std::size_t first;
        std::uint32_t folder;
    };

    std::uint32_t addFolder(std::uint32_t parent, std::string_view name);
    void addFile(const FileNode* node, std::string_view name, std::uint32_t folder);
    std::uint32_t folderOf(const FileNode* folder);
    void insertFolder(const FileNode* folder, std::uint32_t index);
    int openFolder(std::uint32_t index, const std::vector<std::string>& paths) const;
    std::vector<std::string> folderPaths() const;

    std::vector<Folder> m_folders;
    // Folder node -> index in m_folders, open addressing (the nodes are only compared).
    std::vector<std::pair<const FileNode*, std::uint32_t>> m_folderSlots;
    std::vector<File> m_files;
    std::vector<Run> m_runs;
    std::string m_folderNames;
};

} // namespace plenvo
