#include "ContentReader.h"

#include <fcntl.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/uio.h>
#include <unistd.h>
#include <xxhash.h>

#include <cerrno>
#include <climits>

namespace plenvo {

namespace {

constexpr unsigned kStampMask = STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_CTIME | STATX_INO;

std::int64_t nanoseconds(const struct statx_timestamp& t)
{
    return std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

std::optional<FileStamp> stampOf(const struct statx& sx)
{
    if ((sx.stx_mask & kStampMask) != kStampMask || !S_ISREG(sx.stx_mode))
        return std::nullopt;
    return FileStamp{makedev(sx.stx_dev_major, sx.stx_dev_minor), sx.stx_ino,
                     std::int64_t(sx.stx_size), nanoseconds(sx.stx_mtime),
                     nanoseconds(sx.stx_ctime)};
}

// A descriptor of the folder that holds `path`, and the rest of the path relative to it. Paths
// the kernel takes at once are used as they are (the folder is AT_FDCWD); longer ones (deep
// trees) are walked in pieces shorter than PATH_MAX. Returns -1 (errno set) on failure; a
// descriptor other than AT_FDCWD is the caller's to close.
int folderOf(const std::string& path, std::string& rest)
{
    if (path.size() < PATH_MAX) {
        rest = path;
        return AT_FDCWD;
    }
    std::size_t start = 0;
    int folder = AT_FDCWD;
    if (path.front() == '/') {
        folder = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
        start = 1;
    }
    while (folder != -1 && path.size() - start >= PATH_MAX) {
        const std::size_t cut = path.rfind('/', start + PATH_MAX - 1);
        if (cut == std::string::npos || cut <= start) {
            if (folder >= 0)
                ::close(folder);
            errno = ENAMETOOLONG;
            return -1;
        }
        const std::string piece = path.substr(start, cut - start);
        const int next = ::openat(folder, piece.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        const int error = errno;
        if (folder >= 0)
            ::close(folder);
        errno = error;
        folder = next;
        start = cut + 1;
    }
    rest = path.substr(start);
    return folder;
}

int openForReading(const std::string& path)
{
    std::string rest;
    const int folder = folderOf(path, rest);
    if (folder == -1)
        return -1;
    // Not following a link, not waiting for a writer if the name now is a pipe.
    constexpr int kFlags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int fd = ::openat(folder, rest.c_str(), kFlags | O_NOATIME);
    if (fd < 0 && errno == EPERM) // only the owner may leave the access time alone
        fd = ::openat(folder, rest.c_str(), kFlags);
    const int error = errno;
    if (folder >= 0)
        ::close(folder);
    errno = error;
    return fd;
}

std::optional<FileStamp> stampOfOpen(int fd)
{
    struct statx sx;
    if (::statx(fd, "", AT_EMPTY_PATH | AT_STATX_SYNC_AS_STAT, kStampMask, &sx) != 0)
        return std::nullopt;
    return stampOf(sx);
}

std::uint64_t physicalOffset(int fd)
{
    // The request, followed by room for one extent.
    alignas(struct fiemap) char buffer[sizeof(struct fiemap) + sizeof(struct fiemap_extent)] = {};
    auto* request = reinterpret_cast<struct fiemap*>(buffer);
    request->fm_length = FIEMAP_MAX_OFFSET;
    request->fm_extent_count = 1;
    if (::ioctl(fd, FS_IOC_FIEMAP, request) != 0 || request->fm_mapped_extents == 0)
        return 0;
    return request->fm_extents[0].fe_physical;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

struct ContentReader::HashState {
    XXH3_state_t* state = XXH3_createState();
    ~HashState() { XXH3_freeState(state); }
};

ContentReader::ContentReader(std::size_t chunkSize)
    : m_buffer(chunkSize), m_state(std::make_unique<HashState>())
{
}

ContentReader::~ContentReader() = default;

std::optional<FileStamp> ContentReader::stamp(int folder, const char* name)
{
    struct statx sx;
    if (::statx(folder, name, AT_SYMLINK_NOFOLLOW | AT_STATX_SYNC_AS_STAT, kStampMask, &sx) != 0)
        return std::nullopt;
    const std::optional<FileStamp> stamp = stampOf(sx);
    if (!stamp)
        errno = EINVAL;
    return stamp;
}

std::optional<FileStamp> ContentReader::stamp(const std::string& path)
{
    std::string rest;
    const int folder = folderOf(path, rest);
    if (folder == -1)
        return std::nullopt;
    const std::optional<FileStamp> found = stamp(folder, rest.c_str());
    const int error = errno;
    if (folder >= 0)
        ::close(folder);
    errno = error;
    return found;
}

int ContentReader::openFolder(const std::string& path)
{
    std::string rest;
    const int folder = folderOf(path, rest);
    if (folder == -1)
        return -1;
    const int fd = ::openat(folder, rest.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    const int error = errno;
    if (folder >= 0)
        ::close(folder);
    errno = error;
    return fd;
}

ContentReader::Result ContentReader::hash(const std::string& path, const FileStamp& expected,
                                          std::int64_t length, bool wantPhysicalOffset,
                                          const DiskTurn& diskTurn, const CancellationToken& token)
{
    Result result;
    const Descriptor file(openForReading(path));
    if (file.get() < 0) {
        // Gone, or another kind of entry now: the file looked at is no longer there.
        result.status = errno == ENOENT || errno == ELOOP || errno == ENOTDIR ? Status::changed
                                                                              : Status::unreadable;
        return result;
    }
    if (stampOfOpen(file.get()) != expected) {
        result.status = Status::changed;
        return result;
    }
    if (wantPhysicalOffset)
        result.physicalOffset = physicalOffset(file.get());
    const bool whole = length > std::int64_t(m_buffer.size());
    if (whole)
        ::posix_fadvise(file.get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    // Each read first asks for content already in memory only; from the first that would have to
    // wait for the disk on, the rest of the file comes from the disk, after the disk's turn, and
    // is dropped from memory once hashed.
    XXH3_128bits_reset(m_state->state);
    std::int64_t offset = 0;
    std::int64_t diskFrom = -1;
    result.status = Status::hashed;
    while (offset < length && result.status == Status::hashed) {
        if (token.isCancelled()) {
            result.status = Status::cancelled;
            break;
        }
        const std::size_t want =
            std::size_t(std::min<std::int64_t>(length - offset, std::int64_t(m_buffer.size())));
        const std::int64_t chunkStart = offset;
        std::size_t got = 0;
        while (got < want) {
            struct iovec io = {m_buffer.data() + got, want - got};
            ssize_t n;
            if (diskFrom < 0) {
                n = ::preadv2(file.get(), &io, 1, offset, RWF_NOWAIT);
                if (n < 0 && errno != EINTR) {
                    if (errno != EAGAIN && errno != EOPNOTSUPP) {
                        result.status = Status::unreadable;
                        break;
                    }
                    if (diskTurn && !diskTurn()) {
                        result.status = Status::cancelled;
                        break;
                    }
                    diskFrom = offset;
                    continue;
                }
            } else {
                n = ::pread(file.get(), m_buffer.data() + got, want - got, offset);
                if (n < 0 && errno != EINTR) {
                    result.status = Status::unreadable;
                    break;
                }
            }
            if (n == 0) { // shorter than it was
                result.status = Status::changed;
                break;
            }
            if (n > 0) {
                got += std::size_t(n);
                offset += n;
            }
        }
        m_bytesRead += std::int64_t(got);
        XXH3_128bits_update(m_state->state, m_buffer.data(), got);
        if (diskFrom >= 0 && whole)
            ::posix_fadvise(file.get(), chunkStart, offset - chunkStart, POSIX_FADV_DONTNEED);
    }
    // Read-ahead may have brought in more than was read.
    if (diskFrom >= 0)
        ::posix_fadvise(file.get(), diskFrom, 0, POSIX_FADV_DONTNEED);
    if (result.status == Status::hashed && stampOfOpen(file.get()) != expected)
        result.status = Status::changed;
    if (result.status == Status::hashed) {
        const XXH128_hash_t digest = XXH3_128bits_digest(m_state->state);
        result.hash = {digest.high64, digest.low64};
    }
    return result;
}

} // namespace plenvo
