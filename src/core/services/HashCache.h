#pragma once

#include "models/ContentHash.h"
#include "models/FileStamp.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plenvo {

// The content hashes of files read by earlier searches for duplicates, kept in one file under
// the user's cache folder, so that a search of a tree searched before reads only what changed.
// An entry is found by the file's device and inode and used only while the file's whole stamp
// (length, time of the last change of content and of any change) is the same.
//
// The file is trusted only when it is a regular file of the user's, in this format, complete
// and with a correct checksum; anything else is ignored and replaced by the next save. It is
// written whole, to a new file renamed over the old one, readable by the user alone, in a
// folder only the user may enter. At most kMaxEntries are kept: those used longest ago go first.
//
// Used by one thread at a time.
class HashCache {
public:
    struct Entry {
        FileStamp stamp;
        ContentHash firstBlock; // of the first block (the whole content when no longer)
        ContentHash whole;      // of the whole content, when hasWhole
        bool hasWhole = false;
    };
    enum class LoadResult { loaded, missing, rejected };

    static constexpr std::size_t kMaxEntries = 300000;

    explicit HashCache(std::string file);
    ~HashCache();
    HashCache(const HashCache&) = delete;
    HashCache& operator=(const HashCache&) = delete;
    // $XDG_CACHE_HOME/plenvo/content-hashes ($HOME/.cache when the variable is not set to an
    // absolute path); empty when neither is known.
    static std::string defaultFile();

    const std::string& file() const { return m_file; }
    // Reads the file, replacing what was held.
    LoadResult load();
    // The entry of the file with this stamp, if there is one (never an entry of another stamp).
    std::optional<Entry> find(const FileStamp& stamp);
    // Adds or replaces the entry of the file.
    void remember(const Entry& entry);
    // Writes the entries found or remembered since the load, and the others up to the limit,
    // unless the file already holds them all. False when the file could not be written (the
    // previous one then stays).
    bool save();

    // Entries held (an entry remembered twice counts twice until the next find() or save()).
    std::size_t size() const;

private:
    struct Stored; // an entry as the file keeps it
    void merge();

    std::string m_file;
    std::vector<Stored> m_entries; // sorted by device and inode
    std::vector<Stored> m_added;
    std::uint32_t m_today;
    bool m_dirty = true;
};

} // namespace plenvo
