#pragma once

#include "CancellationToken.h"
#include "DuplicateCandidates.h"
#include "models/ContentHash.h"
#include "models/FileNode.h"
#include "models/FileStamp.h"

#include <QString>
#include <QUuid>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace plenvo {

// The search for files with identical content among the files of a scan, its settings, and the
// value types it produces.
//
// A search reads no folder again: it is given the files of the current result
// (DuplicateCandidates, taken on the thread that owns the tree) and runs on the calling thread,
// which may be any, with readers on threads of its own. It narrows the files down in steps and
// reads as little as it can:
//   1. the length of each file (no content read); files shorter than minFileSize, empty files
//      and further names of a file already met (hard links: one file, no space wasted) are
//      passed over, and so is every file whose length no other file has;
//   2. the first block (kFirstBlockSize bytes) of each remaining file; a file whose first
//      block no other file of its length has is read no further;
//   3. the whole content of the rest, in chunkSize reads.
// Files with the same length and the same XXH3-128 hash of their content form a group. Several
// readers share the work; on a spinning disk the disk serves one file at a time, in the order
// of the files on the disk, while content already in memory is still hashed in parallel.
//
// With a hash cache file set, hashes of files whose stamp (FileStamp) has not changed since an
// earlier search are taken from it, so that a second search of a tree reads only what changed.
class DuplicateFinder {
public:
    // Files with the same content, as the application state keeps them.
    struct DuplicateGroup {
        QUuid id = QUuid::createUuid();
        QString hash;
        std::int64_t fileSize = 0;
        std::vector<NodeRef> files;
    };

    // Where a search stands.
    class Progress {
    public:
        enum class Kind { groupingBySize, hashing, completed, idle };

        Progress() = default;
        static Progress idle() { return {}; }
        static Progress groupingBySize(std::int64_t filesProcessed)
        {
            return {Kind::groupingBySize, filesProcessed, 0};
        }
        static Progress hashing(std::int64_t filesHashed, std::int64_t totalToHash)
        {
            return {Kind::hashing, filesHashed, totalToHash};
        }
        static Progress completed(std::int64_t groups, std::int64_t wastedSpace)
        {
            return {Kind::completed, groups, wastedSpace};
        }

        Kind kind() const { return m_kind; }
        std::int64_t filesProcessed() const { return m_first; }
        std::int64_t filesHashed() const { return m_first; }
        std::int64_t totalToHash() const { return m_second; }
        std::int64_t groups() const { return m_first; }
        std::int64_t wastedSpace() const { return m_second; }

        friend bool operator==(const Progress&, const Progress&) = default;

    private:
        Progress(Kind kind, std::int64_t first, std::int64_t second)
            : m_kind(kind), m_first(first), m_second(second)
        {
        }
        Kind m_kind = Kind::idle;
        std::int64_t m_first = 0;
        std::int64_t m_second = 0;
    };
    // Called on the searching thread: at the start of each step, at most every
    // kProgressInterval in between, and once with `completed` when a search completes.
    using ProgressHandler = std::function<void(const Progress&)>;

    // One file of a group the search found.
    struct Member {
        std::uint32_t file = 0; // its index among the candidates searched
        FileStamp stamp;        // the file as it was when its content was hashed
    };
    // Files found to have the same content.
    struct ContentGroup {
        ContentHash hash;
        std::int64_t size = 0;       // bytes of content of each file
        std::vector<Member> members; // at least 2, in the candidates' order (the tree's)
        // What all copies but one take: (copies - 1) x size.
        std::int64_t wastedSpace() const { return std::int64_t(members.size() - 1) * size; }
    };
    struct Outcome {
        enum class Status { completed, cancelled };
        Status status = Status::completed;
        std::vector<ContentGroup> groups; // the most wasted space first
        std::int64_t files = 0;           // files in the tree
        std::int64_t candidates = 0;      // files whose length another file has
        std::int64_t bytesRead = 0;       // bytes of content read
        std::int64_t cachedFiles = 0;     // candidates whose hashes the cache had
        std::int64_t unreadable = 0;      // files that could not be read (left out)
        std::int64_t changed = 0;         // files that changed or went while looked at (left out)
        std::int64_t wastedSpace() const;
    };
    // The outcome of a check before files of a group are moved.
    struct Recheck {
        bool cancelled = false;
        bool changed = false;             // a member changed, went or could not be read
        std::vector<ContentGroup> groups; // what the members form now
    };

    // How many readers, and whether the disks spin (for tests and measurements; by default as
    // many readers as processor cores, 2 to 8, and each disk as the system describes it).
    struct Readers {
        enum class Disks { asDescribed, solidState, spinning };
        int count = 0;
        Disks disks = Disks::asDescribed;
    };

    static constexpr std::int64_t kFirstBlockSize = 4096;
    static constexpr std::chrono::milliseconds kProgressInterval{100};

    DuplicateFinder(std::int64_t minFileSize, std::int64_t chunkSize)
        : m_minFileSize(minFileSize), m_chunkSize(chunkSize)
    {
    }

    std::int64_t minFileSize() const { return m_minFileSize; }
    std::int64_t chunkSize() const { return m_chunkSize; }

    // The file of the hash cache (HashCache::defaultFile() in the application); empty, as by
    // default: no cache.
    void setHashCacheFile(std::string file) { m_hashCacheFile = std::move(file); }
    const std::string& hashCacheFile() const { return m_hashCacheFile; }
    void setReaders(Readers readers) { m_readers = readers; }

    // The files passed to find() from the tree below `root`: those that take at least
    // minFileSize bytes on disk (a file that takes less cannot waste more).
    DuplicateCandidates candidates(const FileNode& root, const NodeFacts* facts) const
    {
        return DuplicateCandidates::fromTree(root, facts, m_minFileSize);
    }

    // Searches `files` for groups of identical content. Stops soon after `token` is cancelled
    // (between two chunks of a read), then with Status::cancelled and no groups. Never changes
    // a file. Files that cannot be read, or that change while they are read, are left out and
    // counted.
    Outcome find(const DuplicateCandidates& files, const CancellationToken& token,
                 const ProgressHandler& progress = {}) const;

    // Checks a group found by find() before some of its files are moved: each member whose
    // stamp is no longer the one it was hashed with is hashed again (its whole content), and the
    // members are grouped again. Members that went or cannot be read leave. Unchanged members
    // are not read.
    Recheck recheck(const DuplicateCandidates& files, const ContentGroup& group,
                    const CancellationToken& token) const;

    // The groups as groups of nodes of the tree, whose files are `treeFiles` (the result's
    // files, taken on the thread that owns the tree): members whose node is no longer among
    // them leave their group; groups left with fewer than 2 files go.
    static std::vector<DuplicateGroup> nodeGroups(const std::vector<ContentGroup>& groups,
                                                  const DuplicateCandidates& files,
                                                  const std::vector<NodeRef>& treeFiles);

private:
    class Search;

    const std::int64_t m_minFileSize;
    const std::int64_t m_chunkSize;
    std::string m_hashCacheFile;
    Readers m_readers;
};

} // namespace plenvo
