#pragma once

#include <cstddef>
#include <cstdint>

namespace plenvo {

// The identity of a file-system entry on the system: its device and its inode number. Two names
// with the same identity are one file (hard links), two folders one folder (a bind mount).
struct DeviceInode {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const DeviceInode&, const DeviceInode&) = default;
};

struct DeviceInodeHash {
    std::size_t operator()(const DeviceInode& k) const
    {
        return std::size_t((k.inode * 0x9E3779B97F4A7C15ull) ^ k.device);
    }
};

} // namespace plenvo
