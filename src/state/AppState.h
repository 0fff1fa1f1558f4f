#pragma once

#include "CacheLocation.h"
#include "DuplicateFinder.h"
#include "SidebarItem.h"
#include "Trash.h"
#include "models/ScanProgress.h"
#include "models/ScanResult.h"
#include "services/CancellationToken.h"
#include "services/DiskScanner.h"
#include "services/NcduReader.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace plenvo {

// The one shared state of the application: the current scan result, the selection, the
// navigation, the running scan, the progress of a move to the Trash, the toast and a revision
// counter that views use to know when the tree or its statistics changed.
//
// Everything here is read and written on the thread that created the object (the user-
// interface thread). Work leaves it in five places: scans run on the scanner's threads, each
// move of a batch runs on a worker thread (one at a time), the check for files deleted behind
// our back, the reading of an export and the writing of one run on threads of their own. Their
// results come back through queued calls that hold the state weakly.
//
// Every assignment to a published field emits changed() and the field's own signal, also
// when the value stays the same. Views re-read what they show.
class AppState : public QObject {
    Q_OBJECT

public:
    static constexpr int kToastMilliseconds = 3000;
    static constexpr int kBatchStartDelayMilliseconds = 50;

    // `trash` moves items to the Trash; by default the freedesktop.org Trash through GIO.
    explicit AppState(std::shared_ptr<Trash> trash = nullptr, QObject* parent = nullptr);
    ~AppState() override;

    // Published fields.
    const std::shared_ptr<ScanResult>& scanResult() const { return m_scanResult; }
    bool isScanning() const { return m_isScanning; }
    const ScanProgress& scanProgress() const { return m_scanProgress; }
    const NodeRef& selectedNode() const { return m_selectedNode; }
    std::optional<SidebarItem> navigationSelection() const { return m_navigationSelection; }
    bool showDirectoryPicker() const { return m_showDirectoryPicker; }
    const std::vector<DuplicateFinder::DuplicateGroup>& duplicateGroups() const
    {
        return m_duplicateGroups;
    }
    bool isDuplicateScanning() const { return m_isDuplicateScanning; }
    const DuplicateFinder::Progress& duplicateProgress() const { return m_duplicateProgress; }
    const std::vector<CacheLocation>& cacheLocations() const { return m_cacheLocations; }
    bool isCacheScanning() const { return m_isCacheScanning; }
    bool isDeleting() const { return m_isDeleting; }
    std::int64_t deleteCount() const { return m_deleteCount; }
    std::int64_t deleteTotalCount() const { return m_deleteTotalCount; }
    const std::optional<QString>& toastMessage() const { return m_toastMessage; }
    // What the toast reports: something done, or something that failed or was refused.
    enum class ToastKind { done, warning };
    ToastKind toastKind() const { return m_toastKind; }
    const std::vector<NodeRef>& inspectorCandidateNodes() const
    {
        return m_inspectorCandidateNodes;
    }
    std::int64_t contentRevision() const { return m_contentRevision; }

    // The fields views write.
    void setSelectedNode(NodeRef node);
    void setNavigationSelection(std::optional<SidebarItem> item);
    void setShowDirectoryPicker(bool show);
    void setInspectorCandidateNodes(std::vector<NodeRef> nodes);
    void setToastMessage(std::optional<QString> message, ToastKind kind = ToastKind::done);
    // Shows `message` in the toast for the toast's duration.
    void showToast(const QString& message, ToastKind kind = ToastKind::done);
    // For whatever produces duplicate groups (nothing does yet).
    void setDuplicateGroups(std::vector<DuplicateFinder::DuplicateGroup> groups);

    const DuplicateFinder& duplicateFinder() const { return m_duplicateFinder; }
    // The scanner behind scanDirectory(), for tests that need a scan to wait.
    DiskScanner& scanner() { return *m_scanner; }
    // What the scan behind scanResult() found on disk (for measurements and tests).
    const std::shared_ptr<const FileExistenceIndex>& existenceIndex() const { return m_existence; }

    // Replaces the look at the disk behind checkExternalDeletions(): given what the scan
    // found, the files that are gone. Runs on a worker thread. For benchmarks and tests; by
    // default FileExistenceIndex::missingFiles().
    using MissingFilesProbe =
        std::function<std::vector<FileExistenceIndex::Missing>(const FileExistenceIndex&)>;
    void setMissingFilesProbe(MissingFilesProbe probe) { m_missingFilesProbe = std::move(probe); }

    // How long a toast stays after its latest message (kToastMilliseconds unless changed,
    // which tests do).
    void setToastDuration(int milliseconds) { m_toastDuration = milliseconds; }

    // Starts a scan of `path` (raw bytes), cancelling the scan in progress. A scan that a newer
    // one supersedes publishes nothing; isScanning() stays true until the newest one ends.
    void scanDirectory(const std::string& path);
    void scanDirectory(const QString& path);

    // Opens a scan saved in ncdu's export format (see NcduReader) at `path` (raw bytes) on a
    // thread of its own, as a scan runs: isScanning() and scanProgress() follow it, and a newer
    // scan or open supersedes it. Once read it becomes the current result as a finished scan
    // does, marked as opened from the file, dated with the export's timestamp (else with the
    // file's modification time). When it cannot be read the current result stays as it was and
    // a toast says why (and, with no result, scanProgress() is failed with the same words).
    void openScan(const std::string& path);
    void openScan(const QString& path);
    // Whether the work isScanning() stands for is the reading of an export.
    bool isOpeningScan() const { return m_isScanning && m_isOpening; }

    // Whether the current result was opened from a file: its files are not on this machine, or
    // no longer as they were, so nothing is moved to the Trash or revealed on its strength and
    // files deleted elsewhere are not looked for.
    bool isReadOnly() const { return m_scanResult && m_scanResult->isOpenedFromFile(); }

    // Writes the current result to `path` (raw bytes) in ncdu's export format on a thread of
    // its own; a toast reports the outcome. While it runs the tree does not change: moves to
    // the Trash are refused with a toast, and files deleted elsewhere are looked for again
    // afterwards. False, and nothing starts, without a result, while an export or a batch of
    // moves runs, or while a scan runs.
    bool exportScan(const std::string& path);
    bool exportScan(const QString& path);
    bool isExporting() const { return m_isExporting; }

    // Makes a ready result the current one, as a finished scan does: published, a new content
    // revision, progress completed, the overview shown. For tests and benchmarks that need no
    // folder on disk; nothing was noted on disk for it, so files deleted elsewhere are not
    // looked for.
    void showResult(std::shared_ptr<ScanResult> result);

    // Moves one node to the Trash, synchronously, and updates the tree and the statistics.
    void deleteFile(const NodeRef& node);
    // Moves nodes to the Trash one after another off this thread, publishing the progress;
    // returns at once. Ignored while another batch runs.
    void deleteFiles(std::vector<NodeRef> nodes);

    // Looks for files of the result that were deleted outside the application (off this
    // thread) and removes them from the tree and the statistics. The application calls it
    // each time it becomes active. One check runs at a time: a call during a check asks for
    // one more after it. Destruction cancels a running check without waiting for it.
    void checkExternalDeletions();
    bool isCheckingExternalDeletions() const { return m_checkToken.has_value(); }

Q_SIGNALS:
    void changed();
    void scanResultChanged();
    void isScanningChanged();
    void isExportingChanged();
    void scanProgressChanged();
    void selectedNodeChanged();
    void navigationSelectionChanged();
    void showDirectoryPickerChanged();
    void duplicateGroupsChanged();
    void cacheLocationsChanged();
    void deleteProgressChanged(); // isDeleting, deleteCount, deleteTotalCount
    void toastMessageChanged();
    void inspectorCandidateNodesChanged();
    void contentRevisionChanged();

private:
    class Batch;
    friend class Batch;

    void publish(void (AppState::*signal)());
    void startWork(bool opening);
    std::function<void(const ScanProgress&)> progressFor(std::uint64_t generation);
    void finishOpen(std::uint64_t generation, NcduReader::Outcome outcome, std::string path,
                    std::int64_t fileDate);
    void finishExport(const QString& name, const QString& error, bool cancelled);
    bool refusesTreeChanges();
    NodeRef replacementSelection(const NodeIdSet& deleted) const;
    void removeDuplicateEntry(const FileNode& node);
    void detach(const NodeRef& node);
    static void detach(const std::vector<NodeRef>& nodes, const NodeIdSet& ids);
    void removeCandidates(const NodeIdSet& ids);
    void bumpRevision();
    void setDeleteProgress(bool deleting, std::int64_t count, std::int64_t total);
    void finishScan(std::uint64_t generation, DiskScanner::Outcome outcome, std::string path);
    void publishResult(std::shared_ptr<ScanResult> result,
                       std::shared_ptr<const FileExistenceIndex> existence);
    void finishExternalCheck(const std::weak_ptr<ScanResult>& checked,
                             const std::vector<FileExistenceIndex::Missing>& missing);
    void applyExternalDeletions(const std::weak_ptr<ScanResult>& checked,
                                const std::vector<FileExistenceIndex::Missing>& missing);
    std::vector<NodeRef> filesFor(const std::vector<FileExistenceIndex::Missing>& missing) const;

    std::shared_ptr<ScanResult> m_scanResult;
    std::shared_ptr<const FileExistenceIndex> m_existence; // of the scan behind m_scanResult
    bool m_isScanning = false;
    bool m_isOpening = false; // the running work reads an export
    bool m_isExporting = false;
    bool m_checkAfterExport = false;
    ScanProgress m_scanProgress;
    NodeRef m_selectedNode;
    std::optional<SidebarItem> m_navigationSelection = SidebarItem::overview;
    bool m_showDirectoryPicker = false;
    std::vector<DuplicateFinder::DuplicateGroup> m_duplicateGroups;
    bool m_isDuplicateScanning = false;
    DuplicateFinder::Progress m_duplicateProgress;
    std::vector<CacheLocation> m_cacheLocations;
    bool m_isCacheScanning = false;
    bool m_isDeleting = false;
    std::int64_t m_deleteCount = 0;
    std::int64_t m_deleteTotalCount = 0;
    std::optional<QString> m_toastMessage;
    ToastKind m_toastKind = ToastKind::done;
    std::vector<NodeRef> m_inspectorCandidateNodes;
    std::int64_t m_contentRevision = 0;

    MissingFilesProbe m_missingFilesProbe;
    std::optional<CancellationToken> m_checkToken; // set while a check runs
    bool m_checkAgain = false;
    QTimer m_toastTimer;
    int m_toastDuration = kToastMilliseconds;
    std::shared_ptr<Trash> m_trash;
    DuplicateFinder m_duplicateFinder{1024, 1048576};
    CancellationToken m_scanToken;
    std::uint64_t m_scanGeneration = 0;
    CancellationToken m_exportToken;
    std::shared_ptr<ScanResult> m_exportResult; // the result being written
    std::thread m_exportThread; // joined on destruction, so that no half-written file stays
    std::unique_ptr<DiskScanner> m_scanner; // last member: stopped first on destruction
};

} // namespace plenvo
