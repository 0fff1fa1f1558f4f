#pragma once

#include <cstdint>

namespace plenvo {

// What tells whether a file still holds the content that was read from it: which file it is
// (device and inode), its length, and the times of its last change of content and of its last
// change of any kind. The second time cannot be set back by a program (copying tools restore
// the first, never the second), so a file rewritten and given its old date again still shows
// a new stamp. Equal stamps: the content is the one that was read.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;       // bytes of content
    std::int64_t modifiedNs = 0; // content changed, nanoseconds since the Unix epoch
    std::int64_t changedNs = 0;  // anything changed (content, names, permissions)

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

} // namespace plenvo
