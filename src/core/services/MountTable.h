#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace plenvo {

// The file-system type of each mounted device, read from /proc/self/mountinfo on first use.
// The scanner asks only when a folder's device differs from its parent's (a mount point), so
// the common case never reads the table. It also tells which devices are spinning disks, where
// reading several files at once costs seeks instead of saving time.
class MountTable {
public:
    explicit MountTable(std::string source = "/proc/self/mountinfo", std::string sysfs = "/sys");

    // Type name ("ext4", "proc", ...) of the device, empty when it is not listed.
    std::string fileSystemType(std::uint32_t major, std::uint32_t minor);
    // Whether the device holds a kernel pseudo file system (proc, sysfs, devtmpfs, ...)
    // whose contents are not files on a disk.
    bool isPseudoFileSystem(std::uint32_t major, std::uint32_t minor);

    // Whether the device is a spinning disk, as the block layer says (the `queue/rotational`
    // flag under <sysfs>/dev/block/MAJ:MIN, for a partition that of its disk). A file system
    // with no block device of its own in the device number (btrfs, for one) is looked up
    // through the device its mount names as its source. False when nothing tells: network and
    // memory file systems, devices the table does not know.
    bool isRotational(std::uint32_t major, std::uint32_t minor);

    static bool isPseudoType(std::string_view type);
    // Parses mountinfo text into the device -> type table.
    void parse(std::string_view text);

private:
    static std::uint64_t key(std::uint32_t major, std::uint32_t minor)
    {
        return (std::uint64_t(major) << 32) | minor;
    }
    struct Mount {
        std::string type;
        std::string source;
    };
    const Mount* find(std::uint32_t major, std::uint32_t minor);
    void load();

    std::string m_source;
    std::string m_sysfs;
    std::unordered_map<std::uint64_t, Mount> m_mounts;
    std::unordered_map<std::uint64_t, bool> m_rotational;
    int m_loads = 0;
};

} // namespace plenvo
