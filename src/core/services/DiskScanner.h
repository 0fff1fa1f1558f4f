#pragma once

#include "CancellationToken.h"
#include "FileExistenceIndex.h"
#include "models/FileNode.h"
#include "models/ScanProgress.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QObject;
class QThread;

namespace plenvo {

// Walks one folder recursively into a FileNode tree whose aggregates are set as it is built.
// Reads metadata only (never file contents), never follows symbolic links, and absorbs every
// file-system failure: a folder that cannot be listed becomes an empty folder, an entry whose
// attributes cannot be read a file of size 0. Mount points of kernel pseudo file systems below
// the scanned folder are recorded as empty folders and not entered.
//
// Scans queued with scan() run on the scanner's own thread, one after another.
class DiskScanner {
public:
    using ProgressHandler = std::function<void(const ScanProgress&)>;
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    struct Outcome {
        enum class Status { completed, cancelled, failed };
        Status status = Status::completed;
        NodeRef root; // set when completed
        // What the scan found, to ask later which files are gone (set when completed).
        std::shared_ptr<const FileExistenceIndex> existence;
        QString error; // set when failed
    };
    using Completion = std::function<void(Outcome)>;

    // Progress reports are at least this far apart (strictly more than it).
    static constexpr std::chrono::milliseconds kProgressInterval{150};

    DiskScanner();
    ~DiskScanner(); // cancels queued and running scans and waits for the thread
    DiskScanner(const DiskScanner&) = delete;
    DiskScanner& operator=(const DiskScanner&) = delete;

    // Queues a scan of `path` (raw bytes). `progress` and `done` are called on the scanner's
    // thread; a cancelled scan completes promptly with Status::cancelled and no tree.
    void scan(std::string path, ProgressHandler progress, CancellationToken token, Completion done);

    // Scans `path` on the calling thread. Cancellation is checked at every folder boundary.
    Outcome scanNow(std::string_view path, const ProgressHandler& progress,
                    const CancellationToken& token = {});

    // Files met by the last scan (the count its progress reports carry).
    std::int64_t filesScanned() const { return m_filesScanned.load(std::memory_order_relaxed); }

    // Replaces the monotonic clock of the progress throttle (for tests).
    void setClock(Clock clock);
    // Caps the directory descriptors a scan keeps open (at least 2); deeper folders are
    // reopened from their ancestors when needed.
    void setMaxOpenDirectories(int count);
    // Reads mount information from another file than /proc/self/mountinfo (for tests).
    void setMountInfoSource(std::string path);

private:
    class Walk;
    friend class Walk;

    std::atomic<std::int64_t> m_filesScanned{0};
    Clock m_clock;
    int m_maxOpenDirectories = 128;
    std::string m_mountInfo = "/proc/self/mountinfo";

    struct Worker;
    std::unique_ptr<Worker> m_worker;
};

} // namespace plenvo
