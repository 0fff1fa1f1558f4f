#pragma once

#include "models/FileNode.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plenvo {

// Finds the files of a scan that are no longer on disk. Built on the thread that owns the tree
// (it copies ids, folder locations and names, and keeps no node), then run on any thread.
//
// Each folder is opened once and its files are looked up relative to it, without following
// links, so a dangling symbolic link is still "there". Only "no such entry" (ENOENT, ENOTDIR)
// counts as missing: a file behind a folder that cannot be read now is not reported.
class FileExistenceCheck {
public:
    explicit FileExistenceCheck(const std::vector<NodeRef>& files);

    // The ids of the missing files, in the order they were given.
    std::vector<NodeId> missingFiles() const;

    std::size_t fileCount() const { return m_files.size(); }

private:
    struct Entry {
        NodeId id;
        std::uint32_t folder;
        std::uint32_t nameOffset;
        std::uint32_t nameLength;
    };

    std::vector<std::string> m_folders;
    std::vector<Entry> m_files;
    std::string m_names;
};

} // namespace plenvo
