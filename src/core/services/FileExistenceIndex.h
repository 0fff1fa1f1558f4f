#pragma once

#include "CancellationToken.h"
#include "models/FileNode.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plenvo {

// What a scan found on disk, kept small, so that later one can ask which files are gone
// without visiting the tree: the folders (each a name below its parent, the first one a full
// location) and, for each file, its folder and a 32-bit hash of its name. The scanner fills it
// as it lists folders; afterwards it is read-only and may be used on any thread.
//
// missingFiles() lists each folder once (links are never followed, so a dangling symbolic link
// is still there) and reports the files whose names it no longer finds, and the folders that
// are gone (only the topmost: it stands for everything below it). It opens each folder
// relative to its parent's descriptor, keeping a few open, so its memory grows with the depth
// of the tree, not with the length of its paths. Only "no such entry" counts: a folder that is
// gone (ENOENT, ENOTDIR, also when a link took its place) is reported, while a folder that
// cannot be read now, or an error while listing it, keeps its files. Should two names of a
// folder share a hash, a missing one is kept while the other is there: a file is never reported
// missing by mistake.
class FileExistenceIndex {
public:
    static constexpr std::uint32_t kNoParent = UINT32_MAX;

    // A file of `folder` whose name has the hash `nameHash`, or the folder itself.
    struct Missing {
        std::uint32_t folder;
        std::uint32_t nameHash = 0;
        bool folderItself = false;
        friend bool operator==(const Missing&, const Missing&) = default;
    };

    // A folder below `parent`, or with kNoParent a folder at the location `nameOrPath`.
    std::uint32_t addFolder(std::uint32_t parent, std::string_view nameOrPath);
    void addFile(std::uint32_t folder, std::string_view name);
    // As addFile(), with the hash of the name (hashName()) computed already.
    void addFileHash(std::uint32_t folder, std::uint32_t nameHash);
    // Gives back the room the lists kept for growing; called once they are complete.
    void compact();

    // The files that are gone; nothing once `token` is cancelled (it is checked at every
    // folder).
    std::vector<Missing> missingFiles(const CancellationToken& token = {}) const;
    // The nodes of the tree below `root` (the tree this index was made with) that `missing`
    // names: files, and folders that stand for everything below them.
    std::vector<NodeRef> nodesFor(const NodeRef& root, const std::vector<Missing>& missing) const;

    std::size_t folderCount() const { return m_folders.size(); }
    std::size_t fileCount() const { return m_hashes.size(); }
    std::uint32_t parentOf(std::uint32_t folder) const { return m_folders[folder].parent; }
    std::string_view nameOf(std::uint32_t folder) const
    {
        const Folder& f = m_folders[folder];
        return {m_names.data() + f.nameOffset, f.nameLength};
    }
    std::string pathOf(std::uint32_t folder) const;

    static std::uint32_t hashName(std::string_view name);

    // Bytes held, for measurements.
    std::size_t memoryUse() const;

private:
    struct Folder {
        std::uint32_t parent;
        std::uint32_t nameOffset;
        std::uint32_t nameLength;
    };
    // From file `first` on (an index into m_hashes), the files are in `folder`.
    struct Run {
        std::uint32_t first;
        std::uint32_t folder;
    };

    class Walk;

    std::vector<Folder> m_folders;
    std::string m_names;
    std::vector<Run> m_runs;
    std::vector<std::uint32_t> m_hashes;
};

} // namespace plenvo
