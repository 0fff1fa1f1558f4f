#include "HashCache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace plenvo {

// One entry as the file stores it.
struct HashCache::Stored {
    std::uint64_t device;
    std::uint64_t inode;
    std::int64_t size;
    std::int64_t modifiedNs;
    std::int64_t changedNs;
    std::uint64_t firstHigh;
    std::uint64_t firstLow;
    std::uint64_t wholeHigh;
    std::uint64_t wholeLow;
    std::uint32_t lastUsed; // days since the Unix epoch
    std::uint32_t flags;

    static constexpr std::uint32_t kHasWhole = 1;

    bool operator<(const Stored& other) const
    {
        return device != other.device ? device < other.device : inode < other.inode;
    }
    bool sameFile(const Stored& other) const
    {
        return device == other.device && inode == other.inode;
    }
};

namespace {

constexpr char kMagic[8] = {'P', 'L', 'V', 'H', 'A', 'S', 'H', '1'};

struct Header {
    char magic[8];
    std::uint32_t recordSize;
    std::uint32_t reserved;
    std::uint64_t count;
};

// Reads or writes all `size` bytes at `data`, going on after interruptions and short transfers.
template <typename Byte, typename Transfer>
bool transferAll(int fd, Byte* data, std::size_t size, Transfer transfer)
{
    while (size > 0) {
        const ssize_t n = transfer(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

bool writeAll(int fd, const void* data, std::size_t size)
{
    return transferAll(fd, static_cast<const char*>(data), size, ::write);
}

bool readAll(int fd, void* data, std::size_t size)
{
    return transferAll(fd, static_cast<char*>(data), size, ::read);
}

std::uint64_t checksumOf(const Header& header, const void* records, std::size_t bytes)
{
    XXH3_state_t* state = XXH3_createState();
    XXH3_64bits_reset(state);
    XXH3_64bits_update(state, &header, sizeof header);
    XXH3_64bits_update(state, records, bytes);
    const std::uint64_t checksum = XXH3_64bits_digest(state);
    XXH3_freeState(state);
    return checksum;
}

// Creates the folders of `path` that are missing, private to the user.
bool makeFolders(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        struct stat st;
        if (::mkdir(prefix.c_str(), 0700) != 0 &&
            !(::stat(prefix.c_str(), &st) == 0 && S_ISDIR(st.st_mode)))
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

} // namespace

HashCache::HashCache(std::string file)
    : m_file(std::move(file)), m_today(std::uint32_t(std::time(nullptr) / 86400))
{
}

HashCache::~HashCache() = default;

std::string HashCache::defaultFile()
{
    std::string base;
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    if (cache && cache[0] == '/')
        base = cache;
    else if (home && home[0] == '/')
        base = std::string(home) + "/.cache";
    else
        return {};
    return base + "/plenvo/content-hashes";
}

HashCache::LoadResult HashCache::load()
{
    static_assert(sizeof(Stored) == 80, "the file's records have no padding");
    m_entries.clear();
    m_added.clear();
    m_dirty = true; // until the file is known to hold what is held here
    const int fd = ::open(m_file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? LoadResult::missing : LoadResult::rejected;
    struct stat st;
    Header header;
    std::vector<Stored> entries;
    std::uint64_t checksum = 0;
    const bool read = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
                      std::uint64_t(st.st_size) >= sizeof(Header) + sizeof(checksum) &&
                      readAll(fd, &header, sizeof header) &&
                      std::memcmp(header.magic, kMagic, 8) == 0 &&
                      header.recordSize == sizeof(Stored) && header.count <= kMaxEntries &&
                      std::uint64_t(st.st_size) ==
                          sizeof(Header) + header.count * sizeof(Stored) + sizeof(checksum) &&
                      (entries.resize(header.count),
                       readAll(fd, entries.data(), entries.size() * sizeof(Stored))) &&
                      readAll(fd, &checksum, sizeof checksum);
    ::close(fd);
    if (!read)
        return LoadResult::rejected;
    const bool intact =
        checksumOf(header, entries.data(), entries.size() * sizeof(Stored)) == checksum;
    // Sorted by file, each file once: anything else did not come from save().
    const bool ordered =
        std::adjacent_find(entries.begin(), entries.end(), [](const Stored& a, const Stored& b) {
            return !(a < b);
        }) == entries.end();
    const bool flagsKnown = std::all_of(entries.begin(), entries.end(), [](const Stored& e) {
        return (e.flags & ~Stored::kHasWhole) == 0;
    });
    if (!intact || !ordered || !flagsKnown)
        return LoadResult::rejected;
    m_entries = std::move(entries);
    m_dirty = false;
    return LoadResult::loaded;
}

std::size_t HashCache::size() const
{
    return m_entries.size() + m_added.size();
}

void HashCache::merge()
{
    if (m_added.empty())
        return;
    // The latest entry of a file wins.
    std::stable_sort(m_added.begin(), m_added.end());
    std::vector<Stored> added;
    for (std::size_t i = 0; i < m_added.size(); ++i)
        if (i + 1 == m_added.size() || !m_added[i].sameFile(m_added[i + 1]))
            added.push_back(m_added[i]);
    m_added.clear();
    std::vector<Stored> merged;
    merged.reserve(m_entries.size() + added.size());
    auto old = m_entries.begin();
    for (const Stored& entry : added) {
        while (old != m_entries.end() && *old < entry)
            merged.push_back(*old++);
        if (old != m_entries.end() && old->sameFile(entry))
            ++old;
        merged.push_back(entry);
    }
    merged.insert(merged.end(), old, m_entries.end());
    m_entries = std::move(merged);
}

std::optional<HashCache::Entry> HashCache::find(const FileStamp& stamp)
{
    merge();
    Stored key{};
    key.device = stamp.device;
    key.inode = stamp.inode;
    const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), key);
    if (it == m_entries.end() || !it->sameFile(key) || it->size != stamp.size ||
        it->modifiedNs != stamp.modifiedNs || it->changedNs != stamp.changedNs)
        return std::nullopt;
    if (it->lastUsed != m_today) {
        it->lastUsed = m_today;
        m_dirty = true;
    }
    return Entry{stamp,
                 {it->firstHigh, it->firstLow},
                 {it->wholeHigh, it->wholeLow},
                 (it->flags & Stored::kHasWhole) != 0};
}

void HashCache::remember(const Entry& entry)
{
    const FileStamp& s = entry.stamp;
    m_added.push_back({s.device, s.inode, s.size, s.modifiedNs, s.changedNs, entry.firstBlock.high,
                       entry.firstBlock.low, entry.hasWhole ? entry.whole.high : 0,
                       entry.hasWhole ? entry.whole.low : 0, m_today,
                       entry.hasWhole ? Stored::kHasWhole : 0});
    m_dirty = true;
}

bool HashCache::save()
{
    merge();
    if (!m_dirty)
        return true;
    if (m_entries.size() > kMaxEntries) {
        std::nth_element(m_entries.begin(), m_entries.begin() + kMaxEntries, m_entries.end(),
                         [](const Stored& a, const Stored& b) { return a.lastUsed > b.lastUsed; });
        m_entries.resize(kMaxEntries);
        std::sort(m_entries.begin(), m_entries.end());
    }
    const std::size_t slash = m_file.rfind('/');
    if (m_file.empty() || slash == std::string::npos || slash == 0)
        return false;
    const std::string folder = m_file.substr(0, slash);
    if (!makeFolders(folder))
        return false;
    // The folder is the application's own: only the user may enter it.
    struct stat st;
    if (::stat(folder.c_str(), &st) == 0 && st.st_uid == ::geteuid() && (st.st_mode & 077))
        ::chmod(folder.c_str(), 0700);

    std::string temporary = m_file + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC); // readable by the user alone
    if (fd < 0)
        return false;
    Header header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.recordSize = sizeof(Stored);
    header.count = m_entries.size();
    const std::uint64_t checksum =
        checksumOf(header, m_entries.data(), m_entries.size() * sizeof(Stored));
    const bool written = writeAll(fd, &header, sizeof header) &&
                         writeAll(fd, m_entries.data(), m_entries.size() * sizeof(Stored)) &&
                         writeAll(fd, &checksum, sizeof checksum);
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), m_file.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    m_dirty = false;
    return true;
}

} // namespace plenvo
