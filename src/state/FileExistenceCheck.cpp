#include "FileExistenceCheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <unordered_map>

namespace plenvo {

namespace {

bool isNoSuchEntry(int error)
{
    return error == ENOENT || error == ENOTDIR;
}

} // namespace

FileExistenceCheck::FileExistenceCheck(const std::vector<NodeRef>& files)
{
    m_files.reserve(files.size());
    std::unordered_map<const FileNode*, std::uint32_t> folderIndex;
    const FileNode* lastParent = nullptr;
    std::uint32_t lastIndex = 0;
    for (const NodeRef& node : files) {
        const FileNode* parent = node->parent();
        std::string_view name = node->nameBytes();
        std::uint32_t index = 0;
        if (!parent) {
            // A file without a parent (a scan of a single file): split its own location.
            const std::string path = node->pathBytes();
            const std::size_t slash = path.rfind('/');
            index = std::uint32_t(m_folders.size());
            m_folders.push_back(slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash)));
            m_files.push_back({node->id(), index, std::uint32_t(m_names.size()),
                               std::uint32_t(path.size() - (slash + 1))});
            m_names.append(path, slash + 1);
            continue;
        }
        if (parent == lastParent) {
            index = lastIndex;
        } else {
            auto [it, inserted] = folderIndex.emplace(parent, std::uint32_t(m_folders.size()));
            if (inserted)
                m_folders.push_back(parent->pathBytes());
            index = it->second;
            lastParent = parent;
            lastIndex = index;
        }
        m_files.push_back({node->id(), index, std::uint32_t(m_names.size()), std::uint32_t(name.size())});
        m_names.append(name);
    }
}

std::vector<NodeId> FileExistenceCheck::missingFiles() const
{
    std::vector<NodeId> missing;
    std::uint32_t openFolder = UINT32_MAX;
    int fd = -1;
    bool folderGone = false;
    std::string name;
    for (const Entry& entry : m_files) {
        if (entry.folder != openFolder) {
            if (fd >= 0)
                ::close(fd);
            openFolder = entry.folder;
            fd = ::open(m_folders[entry.folder].c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            folderGone = fd < 0 && isNoSuchEntry(errno);
        }
        bool gone = folderGone;
        if (fd >= 0) {
            name.assign(m_names, entry.nameOffset, entry.nameLength);
            struct stat st;
            gone = ::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 && isNoSuchEntry(errno);
        }
        if (gone)
            missing.push_back(entry.id);
    }
    if (fd >= 0)
        ::close(fd);
    return missing;
}

} // namespace plenvo
