#include "FileExistenceIndex.h"

#include "DirectoryListing.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace plenvo {

namespace {

// The sorted hashes of the names in a folder; false when the listing failed.
bool listNames(int fd, std::vector<std::uint32_t>& hashes, DirectoryListing& listing)
{
    hashes.clear();
    const bool complete = listing.forEach(
        fd, [&](const char* name) { hashes.push_back(FileExistenceIndex::hashName(name)); });
    std::sort(hashes.begin(), hashes.end());
    return complete;
}

} // namespace

std::uint32_t FileExistenceIndex::hashName(std::string_view name)
{
    // Eight bytes at a time, mixed with the splitmix64 multipliers.
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

std::uint32_t FileExistenceIndex::addFolder(std::uint32_t parent, std::string_view nameOrPath)
{
    m_folders.push_back({parent, std::uint32_t(m_names.size()), std::uint32_t(nameOrPath.size())});
    m_names.append(nameOrPath);
    return std::uint32_t(m_folders.size() - 1);
}

void FileExistenceIndex::addFile(std::uint32_t folder, std::string_view name)
{
    if (m_runs.empty() || m_runs.back().folder != folder)
        m_runs.push_back({std::uint32_t(m_hashes.size()), folder});
    m_hashes.push_back(hashName(name));
}

void FileExistenceIndex::compact()
{
    m_folders.shrink_to_fit();
    m_names.shrink_to_fit();
    m_runs.shrink_to_fit();
    m_hashes.shrink_to_fit();
}

std::string FileExistenceIndex::pathOf(std::uint32_t folder) const
{
    std::vector<std::uint32_t> chain;
    for (std::uint32_t f = folder; f != kNoParent; f = m_folders[f].parent)
        chain.push_back(f);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (it != chain.rbegin() && (path.empty() || path.back() != '/'))
            path.push_back('/');
        path.append(nameOf(*it));
    }
    return path;
}

std::vector<std::string> FileExistenceIndex::folderPaths() const
{
    // A parent always comes before its folders, so one pass builds every location.
    std::vector<std::string> paths(m_folders.size());
    for (std::size_t i = 0; i < m_folders.size(); ++i) {
        const std::uint32_t parent = m_folders[i].parent;
        if (parent == kNoParent) {
            paths[i].assign(nameOf(std::uint32_t(i)));
            continue;
        }
        paths[i].reserve(paths[parent].size() + 1 + m_folders[i].nameLength);
        paths[i] = paths[parent];
        if (paths[i].empty() || paths[i].back() != '/')
            paths[i].push_back('/');
        paths[i].append(nameOf(std::uint32_t(i)));
    }
    return paths;
}

int FileExistenceIndex::openFolder(std::uint32_t folder,
                                   const std::vector<std::string>& paths) const
{
    constexpr int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    if (paths[folder].size() < PATH_MAX)
        return ::open(paths[folder].c_str(), flags);
    // Too long for one call: from the deepest ancestor that is not, one name at a time.
    std::vector<std::uint32_t> chain;
    std::uint32_t top = folder;
    while (paths[top].size() >= PATH_MAX && m_folders[top].parent != kNoParent) {
        chain.push_back(top);
        top = m_folders[top].parent;
    }
    int fd = ::open(paths[top].c_str(), flags);
    for (auto it = chain.rbegin(); it != chain.rend() && fd >= 0; ++it) {
        const std::string name(nameOf(*it));
        const int next = ::openat(fd, name.c_str(), flags | O_NOFOLLOW);
        const int error = errno;
        ::close(fd);
        fd = next;
        errno = error;
    }
    return fd;
}

std::vector<FileExistenceIndex::Missing> FileExistenceIndex::missingFiles() const
{
    const std::vector<std::string> paths = folderPaths();
    std::vector<Missing> missing;
    std::vector<std::uint32_t> present;
    DirectoryListing listing;
    for (std::size_t r = 0; r < m_runs.size(); ++r) {
        const std::uint32_t folder = m_runs[r].folder;
        const std::size_t first = m_runs[r].first;
        const std::size_t end = r + 1 < m_runs.size() ? m_runs[r + 1].first : m_hashes.size();
        bool listed = false;
        bool gone = false;
        if (const int fd = openFolder(folder, paths); fd >= 0) {
            listed = listNames(fd, present, listing);
            ::close(fd);
        } else {
            gone = errno == ENOENT || errno == ENOTDIR;
        }
        for (std::size_t i = first; i < end; ++i)
            if (gone ||
                (listed && !std::binary_search(present.begin(), present.end(), m_hashes[i])))
                missing.push_back({folder, m_hashes[i]});
    }
    return missing;
}

std::size_t FileExistenceIndex::memoryUse() const
{
    return m_folders.capacity() * sizeof(Folder) + m_names.capacity() +
           m_runs.capacity() * sizeof(Run) + m_hashes.capacity() * sizeof(std::uint32_t);
}

} // namespace plenvo
