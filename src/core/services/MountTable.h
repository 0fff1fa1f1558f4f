#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace plenvo {

// The file-system type of each mounted device, read from /proc/self/mountinfo on first use.
// The scanner asks only when a folder's device differs from its parent's (a mount point), so
// the common case never reads the table.
class MountTable {
public:
    explicit MountTable(std::string source = "/proc/self/mountinfo");

    // Type name ("ext4", "proc", ...) of the device, empty when it is not listed.
    std::string fileSystemType(std::uint32_t major, std::uint32_t minor);
    // Whether the device holds a kernel pseudo file system (proc, sysfs, devtmpfs, ...)
    // whose contents are not files on a disk.
    bool isPseudoFileSystem(std::uint32_t major, std::uint32_t minor);

    static bool isPseudoType(std::string_view type);
    // Parses mountinfo text into the device -> type table.
    void parse(std::string_view text);

private:
    static std::uint64_t key(std::uint32_t major, std::uint32_t minor)
    {
        return (std::uint64_t(major) << 32) | minor;
    }
    void load();

    std::string m_source;
    std::unordered_map<std::uint64_t, std::string> m_types;
    int m_loads = 0;
};

} // namespace plenvo
