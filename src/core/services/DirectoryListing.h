#pragma once

#include <string_view>
#include <type_traits>
#include <vector>

namespace plenvo {

// Reads the entries of an open folder in the order the file system gives them, in large
// batches (getdents64), without the "." and ".." entries. One listing object can serve many
// folders, one after another.
class DirectoryListing {
public:
    explicit DirectoryListing(std::size_t bufferBytes = 64 * 1024) : m_buffer(bufferBytes) {}

    // Calls visit(name) for each entry of the folder `fd`, whose names are null-terminated.
    // Returns false when reading the folder failed; the entries read until then were visited.
    // A visitor that returns bool ends the listing by returning false (forEach then returns
    // true: nothing failed).
    template <typename Visit> bool forEach(int fd, Visit&& visit);

private:
    long read(int fd);

    struct Entry {
        unsigned long long inode;
        long long offset;
        unsigned short length;
        unsigned char type;
        char name[];
    };

    std::vector<char> m_buffer;
};

template <typename Visit> bool DirectoryListing::forEach(int fd, Visit&& visit)
{
    for (;;) {
        const long n = read(fd);
        if (n == 0)
            return true;
        if (n < 0)
            return false;
        for (long offset = 0; offset < n;) {
            const auto* entry = reinterpret_cast<const Entry*>(m_buffer.data() + offset);
            offset += entry->length;
            const char* name = entry->name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            if constexpr (std::is_same_v<decltype(visit(name)), bool>) {
                if (!visit(name))
                    return true;
            } else {
                visit(name);
            }
        }
    }
}

} // namespace plenvo
