#include "EntryAttributes.h"

#include <sys/stat.h>

namespace plenvo {

namespace {

constexpr unsigned kStatxMask = STATX_BASIC_STATS | STATX_BTIME;
constexpr int kStatxFlags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | AT_STATX_SYNC_AS_STAT;

std::int64_t toMillis(const struct statx_timestamp& t)
{
    return std::int64_t(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

} // namespace

EntryAttributes EntryAttributes::read(int dirFd, const char* name, bool followLink)
{
    struct statx sx;
    EntryAttributes a;
    // Following a link reads what it points to; a dangling link is read as itself.
    const bool read = (followLink && statx(dirFd, name, kStatxFlags & ~AT_SYMLINK_NOFOLLOW,
                                           kStatxMask, &sx) == 0) ||
                      statx(dirFd, name, kStatxFlags, kStatxMask, &sx) == 0;
    if (!read)
        return a;
    a.known = true;
    a.isDirectory = (sx.stx_mask & STATX_TYPE) && S_ISDIR(sx.stx_mode);
    a.isRegular = (sx.stx_mask & STATX_TYPE) && S_ISREG(sx.stx_mode);
    // Allocated size when known, else the logical size, else 0.
    if (sx.stx_mask & STATX_BLOCKS)
        a.size = std::int64_t(sx.stx_blocks) * 512;
    else if (sx.stx_mask & STATX_SIZE)
        a.size = std::int64_t(sx.stx_size);
    if (sx.stx_mask & STATX_MTIME)
        a.modified = toMillis(sx.stx_mtime);
    if ((sx.stx_mask & STATX_BTIME) && (sx.stx_btime.tv_sec != 0 || sx.stx_btime.tv_nsec != 0))
        a.created = toMillis(sx.stx_btime);
    a.devMajor = sx.stx_dev_major;
    a.devMinor = sx.stx_dev_minor;
    a.inode = sx.stx_ino;
    if (sx.stx_mask & STATX_NLINK)
        a.links = sx.stx_nlink;
    a.mountRoot = (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) &&
                  (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT);
    return a;
}

bool EntryAttributes::isOpenAs(int fd) const
{
    struct statx sx;
    return statx(fd, "", AT_EMPTY_PATH, STATX_INO, &sx) == 0 && sx.stx_ino == inode &&
           sx.stx_dev_major == devMajor && sx.stx_dev_minor == devMinor;
}

std::string_view lastComponent(std::string_view path)
{
    if (path.empty())
        return path;
    if (path.find_first_not_of('/') == std::string_view::npos)
        return "/";
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace plenvo
