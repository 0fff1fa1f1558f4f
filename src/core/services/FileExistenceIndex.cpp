#include "FileExistenceIndex.h"

#include "DirectoryListing.h"

#include <fcntl.h>
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
    addFileHash(folder, hashName(name));
}

void FileExistenceIndex::addFileHash(std::uint32_t folder, std::uint32_t nameHash)
{
    if (m_runs.empty() || m_runs.back().folder != folder)
        m_runs.push_back({std::uint32_t(m_hashes.size()), folder});
    m_hashes.push_back(nameHash);
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

// Opens the folders of the index in their order (a parent before its folders), each relative to
// its parent's descriptor. The chain of the current folder's ancestors is kept, with at most
// kOpenLimit descriptors open; an ancestor whose descriptor was closed is opened again, by
// name, from the nearest open one.
class FileExistenceIndex::Walk {
public:
    static constexpr std::size_t kOpenLimit = 32;
    enum class State { present, gone, unreadable };

    explicit Walk(const FileExistenceIndex& index) : m_index(index) {}
    ~Walk()
    {
        for (Link& link : m_chain)
            close(link);
    }

    // Enters `folder`, whose parent was entered before; tells what became of it.
    State enter(std::uint32_t folder)
    {
        const std::uint32_t parent = m_index.m_folders[folder].parent;
        while (!m_chain.empty() && m_chain.back().folder != parent) {
            close(m_chain.back());
            m_chain.pop_back();
        }
        m_shallowestOpen = std::min(m_shallowestOpen, m_chain.size());
        Link link{folder, -1, State::unreadable};
        if (parent == kNoParent) {
            // A scanned location, given whole; like the scan, it may be a link.
            const std::string path(m_index.nameOf(folder));
            link.fd = ::open(path.c_str(), kFlags);
            link.state = link.fd >= 0 ? State::present : stateAfterFailure();
        } else if (!m_chain.empty() && m_chain.back().state == State::present) {
            const int parentFd = openAt(m_chain.size() - 1);
            if (parentFd >= 0) {
                link.fd = openChild(parentFd, folder);
                link.state = link.fd >= 0 ? State::present : stateAfterFailure();
            }
        } else if (!m_chain.empty()) {
            link.state = m_chain.back().state; // below a folder that is gone, or unreadable
        }
        m_chain.push_back(link);
        if (link.fd >= 0)
            ++m_open;
        limitOpen();
        return link.state;
    }

    // The current folder's descriptor (it was just entered, so it is open when present).
    int current() const { return m_chain.back().fd; }
    // Whether the folder holding the current one is gone too.
    bool parentGone() const
    {
        return m_chain.size() > 1 && m_chain[m_chain.size() - 2].state == State::gone;
    }

private:
    static constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    struct Link {
        std::uint32_t folder;
        int fd;
        State state;
    };

    static State stateAfterFailure()
    {
        // A link in the place of a folder (ELOOP, as links are not followed) is not the folder.
        return errno == ENOENT || errno == ENOTDIR || errno == ELOOP ? State::gone
                                                                      : State::unreadable;
    }
    int openChild(int parentFd, std::uint32_t folder) const
    {
        const std::string name(m_index.nameOf(folder));
        return ::openat(parentFd, name.c_str(), kFlags | O_NOFOLLOW);
    }
    void close(Link& link)
    {
        if (link.fd >= 0) {
            ::close(link.fd);
            link.fd = -1;
            --m_open;
        }
    }
    // The descriptor of the chain's link `i`, opened again if it was closed.
    int openAt(std::size_t i)
    {
        if (m_chain[i].fd >= 0)
            return m_chain[i].fd;
        std::size_t from = i;
        while (from > 0 && m_chain[from - 1].fd < 0)
            --from;
        m_shallowestOpen = std::min(m_shallowestOpen, from);
        for (std::size_t k = from; k <= i; ++k) {
            Link& link = m_chain[k];
            if (k == 0) {
                const std::string path(m_index.nameOf(link.folder));
                link.fd = ::open(path.c_str(), kFlags);
            } else {
                link.fd = openChild(m_chain[k - 1].fd, link.folder);
            }
            if (link.fd < 0)
                return -1;
            ++m_open;
        }
        const int fd = m_chain[i].fd;
        limitOpen();
        return fd;
    }
    void limitOpen()
    {
        // The shallowest go first; the deepest two (the current folder and its parent) stay.
        // Links above m_shallowestOpen are all closed, so the search starts there.
        std::size_t k = std::min(m_shallowestOpen, m_chain.size());
        for (; m_open > kOpenLimit && k + 2 < m_chain.size(); ++k)
            close(m_chain[k]);
        m_shallowestOpen = k;
    }

    const FileExistenceIndex& m_index;
    std::vector<Link> m_chain;
    std::size_t m_open = 0;
    std::size_t m_shallowestOpen = 0; // no link above it is open
};

std::vector<FileExistenceIndex::Missing>
FileExistenceIndex::missingFiles(const CancellationToken& token) const
{
    // The runs of each folder, in the order of the folders.
    std::vector<std::uint32_t> runs(m_runs.size());
    for (std::uint32_t r = 0; r < runs.size(); ++r)
        runs[r] = r;
    std::stable_sort(runs.begin(), runs.end(), [&](std::uint32_t a, std::uint32_t b) {
        return m_runs[a].folder < m_runs[b].folder;
    });

    std::vector<Missing> missing;
    std::vector<std::uint32_t> present;
    DirectoryListing listing;
    Walk walk(*this);
    std::size_t nextRun = 0;
    for (std::uint32_t folder = 0; folder < m_folders.size(); ++folder) {
        if (token.isCancelled())
            return {};
        const Walk::State state = walk.enter(folder);
        const std::size_t firstRun = nextRun;
        while (nextRun < runs.size() && m_runs[runs[nextRun]].folder == folder)
            ++nextRun;
        if (state == Walk::State::gone) {
            // The topmost folder that is gone stands for everything below it.
            if (!walk.parentGone())
                missing.push_back({folder, 0, true});
            continue;
        }
        if (firstRun == nextRun || state != Walk::State::present ||
            !listNames(walk.current(), present, listing))
            continue; // no files here, or a folder that cannot be read now keeps its files
        for (std::size_t k = firstRun; k < nextRun; ++k) {
            const std::size_t r = runs[k];
            const std::size_t end = r + 1 < m_runs.size() ? m_runs[r + 1].first : m_hashes.size();
            for (std::size_t i = m_runs[r].first; i < end; ++i)
                if (!std::binary_search(present.begin(), present.end(), m_hashes[i]))
                    missing.push_back({folder, m_hashes[i], false});
        }
    }
    return missing;
}

std::vector<NodeRef> FileExistenceIndex::nodesFor(const NodeRef& root,
                                                  const std::vector<Missing>& missing) const
{
    // Each folder is found from the root by the names of its folders; a file of it is gone
    // when its name has one of the missing hashes. A node that left the tree since the scan is
    // not found, so nothing is taken twice.
    std::vector<NodeRef> nodes;
    std::vector<Missing> sorted = missing;
    std::sort(sorted.begin(), sorted.end(), [](const Missing& a, const Missing& b) {
        return a.folder != b.folder ? a.folder < b.folder : a.nameHash < b.nameHash;
    });
    for (std::size_t i = 0; i < sorted.size();) {
        const std::uint32_t folder = sorted[i].folder;
        std::size_t end = i;
        while (end < sorted.size() && sorted[end].folder == folder)
            ++end;
        const FileNode* node = root.get();
        if (!root->isDirectory()) {
            node = nullptr; // a scan of one file: its "folder" is the file itself
            for (std::size_t k = i; k < end; ++k)
                if (sorted[k].folderItself || sorted[k].nameHash == hashName(root->nameBytes()))
                    node = root.get();
            if (node)
                nodes.push_back(root);
            i = end;
            continue;
        }
        std::vector<std::uint32_t> chain;
        for (std::uint32_t f = folder; parentOf(f) != kNoParent; f = parentOf(f))
            chain.push_back(f);
        for (auto it = chain.rbegin(); it != chain.rend() && node; ++it) {
            const FileNode* next = nullptr;
            for (const FileNode* child : node->children())
                if (child->isDirectory() && child->nameBytes() == nameOf(*it)) {
                    next = child;
                    break;
                }
            node = next;
        }
        if (node) {
            const bool folderGone = std::any_of(sorted.begin() + std::ptrdiff_t(i),
                                                sorted.begin() + std::ptrdiff_t(end),
                                                [](const Missing& m) { return m.folderItself; });
            if (folderGone) {
                nodes.emplace_back(node);
            } else {
                for (const FileNode* child : node->children()) {
                    if (child->isDirectory())
                        continue;
                    const std::uint32_t hash = hashName(child->nameBytes());
                    if (std::any_of(sorted.begin() + std::ptrdiff_t(i),
                                    sorted.begin() + std::ptrdiff_t(end),
                                    [&](const Missing& m) { return m.nameHash == hash; }))
                        nodes.emplace_back(child);
                }
            }
        }
        i = end;
    }
    return nodes;
}

std::size_t FileExistenceIndex::memoryUse() const
{
    return m_folders.capacity() * sizeof(Folder) + m_names.capacity() +
           m_runs.capacity() * sizeof(Run) + m_hashes.capacity() * sizeof(std::uint32_t);
}

} // namespace plenvo
