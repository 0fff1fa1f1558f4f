#pragma once

#include "CancellationToken.h"
#include "models/ContentHash.h"
#include "models/FileStamp.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plenvo {

// Reads and hashes the content of files for the search for duplicates, one file at a time, on
// the thread that owns the reader.
//
// It leaves as little trace as it can: files are opened without updating their access time
// where the system allows it, and content that had to come from the disk is dropped from the
// page cache once hashed, so that a search does not push the user's working set out of memory.
// Content that was in memory before stays there. A file is hashed only while it is the file
// that was looked at (the same stamp before and after the read); otherwise it is reported as
// changed. Nothing is ever written.
class ContentReader {
public:
    enum class Status { hashed, unreadable, changed, cancelled };
    struct Result {
        Status status = Status::unreadable;
        ContentHash hash;                 // of the bytes read, when hashed
        std::uint64_t physicalOffset = 0; // of the first extent on the disk, when asked; 0 unknown
    };
    // Called once per file before its first read that has to wait for the disk; returns false
    // to give the read up (the search was cancelled). Lets one disk serve one file at a time.
    using DiskTurn = std::function<bool()>;

    explicit ContentReader(std::size_t chunkSize);
    ~ContentReader();
    ContentReader(const ContentReader&) = delete;
    ContentReader& operator=(const ContentReader&) = delete;

    // The stamp of the regular file at `path` (links are not followed); none when it is not a
    // regular file (errno EINVAL) or cannot be looked at (errno tells why).
    static std::optional<FileStamp> stamp(const std::string& path);
    // The same for the entry `name` of the folder open as `folder`.
    static std::optional<FileStamp> stamp(int folder, const char* name);
    // A descriptor of the folder at `path` to look at its entries with, or -1 (errno set).
    static int openFolder(const std::string& path);

    // Hashes the first `length` bytes (all of them when `length` is the file's size) of the file
    // at `path`, which must still have the stamp `expected`. Cancellation is checked between
    // chunks.
    Result hash(const std::string& path, const FileStamp& expected, std::int64_t length,
                bool wantPhysicalOffset, const DiskTurn& diskTurn, const CancellationToken& token);

    // Bytes of content read so far (from memory or from the disk).
    std::int64_t bytesRead() const { return m_bytesRead; }

private:
    struct HashState;
    std::vector<char> m_buffer;
    std::unique_ptr<HashState> m_state;
    std::int64_t m_bytesRead = 0;
};

} // namespace plenvo
