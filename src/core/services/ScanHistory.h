#pragma once

#include "CancellationToken.h"
#include "models/ScanTree.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plenvo {

// The scans kept of the folders scanned on this machine, so that a later scan can be compared
// with an earlier one (ScanComparer). Each scan is one file in the export format, gzip-compressed,
// noting its totals and the inode of every folder: "<milliseconds>-<folder key>.json.gz" in
// folder() (0700; files 0600), where the key is a hash of the scanned location. A kept scan is
// written beside its final name and moved into place complete, so a file of the history is a
// whole export or is not there.
//
// The list of kept scans reads the first few kilobytes of each file, never a whole one; a file
// that cannot be read, or whose name is not one of ours, is left out of it (and out of every
// removal but removeAll(), which takes only files named as ours).
//
// Keeps the last kScansPerFolder scans of each folder and at most kMaxBytes in all, removing the
// oldest first. Holds nothing but its settings: every call works on the disk and may be made on
// any thread, several at once (from several processes too).
class ScanHistory {
public:
    static constexpr int kScansPerFolder = 10;
    static constexpr std::int64_t kMaxBytes = 1000 * 1000 * 1000; // 1 GB, as sizes are shown
    // Compression of the kept files: slower than an export's, smaller on disk.
    static constexpr int kCompressionLevel = 6;

    struct Scan {
        std::string file;          // the kept export
        std::string rootPath;      // the folder scanned, raw bytes
        std::int64_t scanDate = 0; // milliseconds since the Unix epoch
        std::int64_t totalSize = 0;
        std::int64_t totalFiles = 0;
        std::int64_t totalFolders = 0;
        std::int64_t bytesOnDisk = 0; // of the file
    };

    struct SaveOutcome {
        enum class Status { saved, cancelled, failed };
        Status status = Status::saved;
        std::string file;                 // when saved
        QString error;                    // when failed: what, with the file or folder concerned
        std::vector<std::string> removed; // kept scans removed to stay within the limits
    };

    struct RemoveOutcome {
        int removed = 0;
        QString error; // the first failure, when there was one
    };

    // The history in $XDG_STATE_HOME/plenvo/scans (an absolute XDG_STATE_HOME only), else in
    // ~/.local/state/plenvo/scans.
    ScanHistory();
    explicit ScanHistory(std::string folder, int scansPerFolder = kScansPerFolder,
                         std::int64_t maxBytes = kMaxBytes);

    static std::string defaultFolder();
    const std::string& folder() const { return m_folder; }

    // Keeps `scan`, then removes what the limits no longer allow. The tree must not change while
    // this runs (see ScanTree); `token` is checked every few thousand entries. A failure (a full
    // disk, a folder that cannot be made or written) leaves nothing behind and changes nothing
    // that was kept; so does a cancellation. A scan that alone exceeds the space allowed is not
    // kept (failed).
    SaveOutcome save(const ScanTree& scan, const CancellationToken& token = {}) const;

    // The kept scans, newest first; of one folder only (as a scan of it names it).
    std::vector<Scan> scans() const;
    std::vector<Scan> scansOf(std::string_view rootPath) const;
    // The newest kept scan of the folder made before `before` (milliseconds).
    std::optional<Scan> previous(std::string_view rootPath, std::int64_t before) const;

    // Removes every kept scan (and what an interrupted save left), then the folder when empty.
    RemoveOutcome removeAll() const;
    // Removes what the limits no longer allow, oldest first; returns the files removed.
    std::vector<std::string> prune() const;

private:
    struct Kept {
        std::string name;
        std::int64_t date;
        std::string key;
        std::int64_t bytes;
    };
    std::vector<Kept> keptFiles() const;
    std::vector<Scan> readScans(const std::vector<Kept>& kept,
                                std::optional<std::string_view> rootPath) const;

    std::string m_folder;
    int m_scansPerFolder;
    std::int64_t m_maxBytes;
};

} // namespace plenvo
