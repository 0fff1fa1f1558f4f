#pragma once

#include "models/DeviceInode.h"
#include "models/FileNode.h"

#include <fcntl.h>
#include <sys/sysmacros.h>

#include <cstdint>
#include <string_view>

namespace plenvo {

// The attributes a scan keeps of one entry, read with statx without following links and
// without triggering automounts.
struct EntryAttributes {
    // How folders are opened below the scanned location (links are not followed), and how the
    // scanned location itself is (it may be a link to the folder to scan).
    static constexpr int kOpenFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    static constexpr int kOpenRootFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

    bool known = false; // false when the attributes could not be read
    bool isDirectory = false;
    bool isRegular = false;
    std::int64_t size = 0; // allocated, else logical
    FileNode::Timestamp modified;
    FileNode::Timestamp created;
    std::uint32_t devMajor = 0;
    std::uint32_t devMinor = 0;
    std::uint64_t inode = 0;
    std::uint32_t links = 1;
    bool mountRoot = false; // the root of a mount (bind mounts included)

    // The entry `name` of the folder `dirFd`; with `followLink`, what a link points to (a
    // dangling link is read as itself).
    static EntryAttributes read(int dirFd, const char* name, bool followLink = false);
    // Whether the open folder `fd` is this entry.
    bool isOpenAs(int fd) const;

    bool sameDevice(const EntryAttributes& other) const
    {
        return devMajor == other.devMajor && devMinor == other.devMinor;
    }
    std::uint64_t device() const { return makedev(devMajor, devMinor); }
    bool sameEntry(const EntryAttributes& other) const
    {
        return inode == other.inode && sameDevice(other);
    }
    DeviceInode key() const { return {(std::uint64_t(devMajor) << 32) | devMinor, inode}; }
};

// The last name of a location ("/" for the root).
std::string_view lastComponent(std::string_view path);

} // namespace plenvo
