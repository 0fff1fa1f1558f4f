#pragma once

#include "CancellationToken.h"
#include "FileExistenceIndex.h"
#include "models/DeviceInode.h"
#include "models/FileNode.h"
#include "models/NodeFacts.h"
#include "models/ScanProgress.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace plenvo {

// Walks one folder recursively into a FileNode tree whose aggregates are set as it is built.
// Reads metadata only (never file contents), never follows symbolic links below the scanned
// location (a location that is itself a link is followed), and absorbs every file-system
// failure: a folder that cannot be listed becomes an empty folder, an entry whose attributes
// cannot be read a file of size 0. Mount points of kernel pseudo file systems below the scanned
// folder are recorded as empty folders and not entered.
//
// Space is counted once, as du counts it: a file with several names (hard links) carries its
// size under the first name met and counts 0 under the others; a folder met a second time (a
// bind mount of a folder below itself, or of one met before) is recorded as an empty folder and
// not entered. A folder's own blocks are recorded as its fileSize (FileNode), apart from the
// sizes of the files below it.
//
// The walk may be helped by threads that read folders ahead of it (see setThreads()); what it
// produces does not depend on them: the same tree, in the same order, the same file counting a
// shared inode, the same folder met again left empty, as one thread walking alone.
//
// A scan runs on the calling thread (scanNow) or, prepared with prepare(), on whatever thread
// the caller runs it. A cancelled scan ends soon and keeps nothing; a stopped one (its `stop`
// token cancelled) ends as soon and keeps what it read: its outcome is `stopped`, with a tree
// whose folders not read to the end are marked incomplete (FileNode::isIncomplete()), their
// ancestors too, and folders met but not entered are there, empty and incomplete.
class DiskScanner {
public:
    using ProgressHandler = std::function<void(const ScanProgress&)>;
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // Called on the thread that lists a folder before it lists it, with its name (for tests
    // that need a listing that blocks).
    using ListingHook = std::function<void(std::string_view folderName)>;

    struct Outcome {
        enum class Status { completed, stopped, cancelled, failed };
        Status status = Status::completed;
        NodeRef root; // set when completed or stopped
        // What the scan found, to ask later which files are gone (set when completed or
        // stopped).
        std::shared_ptr<const FileExistenceIndex> existence;
        QString error; // set when failed
        // What the tree does not keep, for writing it out (set when completed or stopped).
        std::shared_ptr<const NodeFacts> facts;
        int threads = 1; // the threads that walked
    };
    // A prepared scan: runs on any thread with the settings the scanner had when it was made.
    using Job = std::function<Outcome(const CancellationToken&)>;

    static constexpr int kMaxThreads = 256;
    // Progress reports are at least this far apart (strictly more than it).
    static constexpr std::chrono::milliseconds kProgressInterval{150};
    DiskScanner();
    DiskScanner(const DiskScanner&) = delete;
    DiskScanner& operator=(const DiskScanner&) = delete;

    // A scan of `path` (raw bytes) to run later, on any thread (see BackgroundWork); progress
    // is reported on that thread. Cancelling `stop` ends it with what it has read.
    Job prepare(std::string path, ProgressHandler progress, CancellationToken stop = {}) const;

    // Scans `path` on the calling thread.
    Outcome scanNow(std::string_view path, const ProgressHandler& progress,
                    const CancellationToken& token = {}, const CancellationToken& stop = {});

    // Files met by the last scanNow() (the count its progress reports carry).
    std::int64_t filesScanned() const { return m_filesScanned; }
    // Replaces the monotonic clock of the progress throttle (for tests).
    void setClock(Clock clock);
    // Caps the directory descriptors a scan keeps open (at least 2); deeper folders are
    // reopened from their ancestors when needed.
    void setMaxOpenDirectories(int count);
    // Reads mount information from another file than /proc/self/mountinfo (for tests).
    void setMountInfoSource(std::string path);
    void setListingHook(ListingHook hook);
    // The threads a scan walks with; 0 (the default, unless the environment variable
    // PLENVO_SCAN_THREADS says otherwise) chooses: one per processor, at most 16, and one
    // when the scanned folder is on a disk that turns.
    void setThreads(int threads);
    // Leaves out the entry with this device (as stat gives it) and inode wherever it is met: a
    // file the caller is writing inside the scanned folder.
    void setLeftOut(std::optional<DeviceInode> entry);

private:
    class Walk;
    struct Settings {
        Clock clock;
        int maxOpenDirectories = 128;
        std::string mountInfo = "/proc/self/mountinfo";
        ListingHook beforeListing;
        std::optional<DeviceInode> leftOut;
        int threads = 0;
    };
    static Outcome run(const Settings& settings, std::string_view path,
                       const ProgressHandler& progress, const CancellationToken& token,
                       const CancellationToken& stop, std::int64_t* filesScanned);

    Settings m_settings;
    std::int64_t m_filesScanned = 0;
};

} // namespace plenvo
