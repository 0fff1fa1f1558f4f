#include "FileExistenceCheck.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <bit>
#include <cstring>

namespace plenvo {

namespace {

// A 32-bit hash of a name, eight bytes at a time. Two names of one folder sharing it only
// ever keep a missing file (see the class comment).
std::uint32_t hashName(std::string_view name)
{
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ name.size();
    std::size_t i = 0;
    for (; i + 8 <= name.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, name.data() + i, 8);
        h = (h ^ word) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, name.data() + i, name.size() - i);
    h = (h ^ tail) * 0x94D049BB133111EBull;
    h ^= h >> 29;
    return std::uint32_t(h ^ (h >> 32));
}

std::size_t slotFor(const FileNode* node, std::size_t mask)
{
    return std::size_t((reinterpret_cast<std::uintptr_t>(node) >> 3) * 0x9E3779B97F4A7C15ull >> 32) & mask;
}

struct LinuxDirent64 {
    std::uint64_t d_ino;
    std::int64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[];
};

// The hashes of the names in a folder, sorted; false when the listing failed.
bool listNames(int fd, std::vector<std::uint32_t>& hashes, std::vector<char>& buffer)
{
    hashes.clear();
    for (;;) {
        const long n = syscall(SYS_getdents64, fd, buffer.data(), buffer.size());
        if (n == 0)
            break;
        if (n < 0)
            return false;
        for (long offset = 0; offset < n;) {
            const auto* entry = reinterpret_cast<const LinuxDirent64*>(buffer.data() + offset);
            offset += entry->d_reclen;
            hashes.push_back(hashName(entry->d_name));
        }
    }
    std::sort(hashes.begin(), hashes.end());
    return true;
}

} // namespace

FileExistenceCheck::FileExistenceCheck(const std::vector<NodeRef>& files)
{
    m_files.reserve(files.size());
    std::size_t slots = 64;
    if (!files.empty())
        if (const FileNode* top = files.front().get(); top->parent())
            for (const FileNode* f = top->parent(); f; f = f->parent())
                slots = std::max<std::size_t>(slots, std::size_t(f->cachedDirCount()) * 2);
    m_folderSlots.assign(std::bit_ceil(slots), {nullptr, 0});

    const FileNode* lastParent = nullptr;
    std::uint32_t lastFolder = 0;
    for (const NodeRef& node : files) {
        const FileNode* parent = node->parent();
        if (!parent) {
            // A file without a parent (a scan of one file): its folder is its location's.
            const std::string path = node->pathBytes();
            const std::size_t slash = path.rfind('/');
            const std::string folder =
                slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
            const std::string_view name =
                std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
            addFile(node.get(), name, addFolder(kNoParent, folder));
            lastParent = nullptr;
            continue;
        }
        if (parent != lastParent) {
            lastFolder = folderOf(parent);
            lastParent = parent;
        }
        addFile(node.get(), node->nameBytes(), lastFolder);
    }
}

void FileExistenceCheck::addFile(const FileNode* node, std::string_view name, std::uint32_t folder)
{
    if (m_runs.empty() || m_runs.back().folder != folder)
        m_runs.push_back({m_files.size(), folder});
    m_files.push_back({node, hashName(name)});
}

std::uint32_t FileExistenceCheck::folderOf(const FileNode* folder)
{
    auto find = [this](const FileNode* node) -> std::pair<const FileNode*, std::uint32_t>* {
        const std::size_t mask = m_folderSlots.size() - 1;
        for (std::size_t i = slotFor(node, mask);; i = (i + 1) & mask) {
            if (m_folderSlots[i].first == node)
                return &m_folderSlots[i];
            if (!m_folderSlots[i].first)
                return nullptr;
        }
    };
    if (auto* known = find(folder))
        return known->second;

    // New: its ancestors first (without recursion: trees may be very deep), so that a parent
    // always has the smaller index.
    std::vector<const FileNode*> chain{folder};
    std::uint32_t index = kNoParent;
    while (const FileNode* parent = chain.back()->parent()) {
        if (auto* known = find(parent)) {
            index = known->second;
            break;
        }
        chain.push_back(parent);
    }
    // Room for them all, at most half full.
    if ((m_folders.size() + chain.size()) * 2 >= m_folderSlots.size()) {
        std::vector<std::pair<const FileNode*, std::uint32_t>> old(
            std::bit_ceil((m_folders.size() + chain.size()) * 4), {nullptr, 0});
        old.swap(m_folderSlots);
        for (const auto& entry : old)
            if (entry.first)
                insertFolder(entry.first, entry.second);
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        index = (*it)->parent() ? addFolder(index, (*it)->nameBytes())
                                : addFolder(kNoParent, (*it)->pathBytes());
        insertFolder(*it, index);
    }
    return index;
}

void FileExistenceCheck::insertFolder(const FileNode* folder, std::uint32_t index)
{
    const std::size_t mask = m_folderSlots.size() - 1;
    std::size_t i = slotFor(folder, mask);
    while (m_folderSlots[i].first)
        i = (i + 1) & mask;
    m_folderSlots[i] = {folder, index};
}

std::uint32_t FileExistenceCheck::addFolder(std::uint32_t parent, std::string_view name)
{
    m_folders.push_back({parent, std::uint32_t(m_folderNames.size()), std::uint32_t(name.size())});
    m_folderNames.append(name);
    return std::uint32_t(m_folders.size() - 1);
}

std::vector<std::string> FileExistenceCheck::folderPaths() const
{
    std::vector<std::string> paths(m_folders.size());
    for (std::size_t i = 0; i < m_folders.size(); ++i) {
        const Folder& folder = m_folders[i];
        const std::string_view name(m_folderNames.data() + folder.nameOffset, folder.nameLength);
        if (folder.parent == kNoParent) {
            paths[i].assign(name);
            continue;
        }
        const std::string& parent = paths[folder.parent];
        paths[i].reserve(parent.size() + 1 + name.size());
        paths[i] = parent;
        if (paths[i].empty() || paths[i].back() != '/')
            paths[i].push_back('/');
        paths[i].append(name);
    }
    return paths;
}

int FileExistenceCheck::openFolder(std::uint32_t index, const std::vector<std::string>& paths) const
{
    constexpr int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    if (paths[index].size() < PATH_MAX)
        return ::open(paths[index].c_str(), flags);
    // Too long for one call: from the deepest ancestor that is not, one name at a time.
    std::vector<std::uint32_t> chain;
    std::uint32_t top = index;
    while (paths[top].size() >= PATH_MAX && m_folders[top].parent != kNoParent) {
        chain.push_back(top);
        top = m_folders[top].parent;
    }
    int fd = ::open(paths[top].c_str(), flags);
    for (auto it = chain.rbegin(); it != chain.rend() && fd >= 0; ++it) {
        const Folder& folder = m_folders[*it];
        const std::string name(m_folderNames, folder.nameOffset, folder.nameLength);
        const int next = ::openat(fd, name.c_str(), flags | O_NOFOLLOW);
        const int error = errno;
        ::close(fd);
        fd = next;
        errno = error;
    }
    return fd;
}

std::vector<const FileNode*> FileExistenceCheck::missingFiles() const
{
    const std::vector<std::string> paths = folderPaths();
    std::vector<const FileNode*> missing;
    std::vector<std::uint32_t> present;
    std::vector<char> buffer(64 * 1024);
    for (std::size_t r = 0; r < m_runs.size(); ++r) {
        const std::size_t first = m_runs[r].first;
        const std::size_t end = r + 1 < m_runs.size() ? m_runs[r + 1].first : m_files.size();
        bool listed = false;
        bool gone = false;
        if (const int fd = openFolder(m_runs[r].folder, paths); fd >= 0) {
            listed = listNames(fd, present, buffer);
            ::close(fd);
        } else {
            gone = errno == ENOENT || errno == ENOTDIR;
        }
        for (std::size_t i = first; i < end; ++i)
            if (gone || (listed && !std::binary_search(present.begin(), present.end(), m_files[i].nameHash)))
                missing.push_back(m_files[i].node);
    }
    return missing;
}

} // namespace plenvo
