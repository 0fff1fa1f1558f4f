#pragma once

#include "CacheLocation.h"
#include "DuplicateSearch.h"
#include "ResultEditor.h"
#include "services/DuplicateFinder.h"
#include "SidebarItem.h"
#include "Trash.h"
#include "models/ScanProgress.h"
#include "models/ScanResult.h"
#include "services/BackgroundWork.h"
#include "services/CancellationToken.h"
#include "services/DiskScanner.h"
#include "services/NcduReader.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plenvo {

class ChangesTracker;
class HistoryKeeper;

// The session: the current scan result and how it came to be (scanning a folder, opening a
// saved scan), writing it out, the selection and the navigation, and the toast. Changes to the
// result once it is published (moves to the Trash, undo, entries deleted elsewhere) belong to
// its ResultEditor, editor().
//
// Everything here is read and written on the thread that created the object (the user-
// interface thread). Work leaves it only through its BackgroundWork: scans, the reading and the
// writing of exports, the checks for files deleted elsewhere, and the editor's moves. Their
// outcomes come back as queued calls that hold the state weakly; a newer scan or open makes the
// running one publish nothing. Destruction cancels all of it and waits at most a second.
//
// Finished scans are kept in the history of scans (history()), and the current result can be
// compared with an earlier scan of its folder (changes()).
//
// Each field has its own change signal, emitted with changed() when the value changes.
class AppState : public QObject {
    Q_OBJECT

public:
    static constexpr int kToastMilliseconds = 3000;
    // How long a stopped scan may take to answer before what was shown before shows again.
    static constexpr int kStopWaitMilliseconds = 600;

    // The looks at the disk behind checkExternalDeletions(): given what the scan found, what is
    // gone. Runs on a worker thread.
    using MissingFilesProbe =
        std::function<std::vector<FileExistenceIndex::Missing>(const FileExistenceIndex&)>;

    // What the state works with; what is left empty is the real thing.
    struct Services {
        std::shared_ptr<Trash> trash;     // the freedesktop.org Trash through GIO
        MissingFilesProbe missingFiles;   // FileExistenceIndex::missingFiles()
        int toastMilliseconds = kToastMilliseconds;
        DiskScanner::ListingHook beforeListing; // called before each folder a scan lists
        std::string historyFolder; // where scans are kept; empty: ScanHistory's default
        int stopWaitMilliseconds = kStopWaitMilliseconds; // see stopScan()
        int scanThreads = 0; // the threads a scan walks with; 0: DiskScanner chooses
    };

    explicit AppState(Services services, QObject* parent = nullptr);
    explicit AppState(std::shared_ptr<Trash> trash = nullptr, QObject* parent = nullptr);
    ~AppState() override;

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
    // A move to the Trash (or an undo) runs, and how far it has come.
    bool isDeleting() const { return m_editor->isBusy(); }
    std::int64_t deleteCount() const { return m_editor->progressCount(); }
    std::int64_t deleteTotalCount() const { return m_editor->progressTotal(); }
    const std::optional<QString>& toastMessage() const { return m_toastMessage; }
    // What the toast reports: something done, or something that failed or was refused.
    enum class ToastKind { done, warning };
    ToastKind toastKind() const { return m_toastKind; }
    // Whether the toast on show offers to undo the move it reports.
    bool toastOffersUndo() const { return m_toastOffersUndo; }
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
    // Shows `message` in the toast for the toast's duration; with `offerUndo`, the toast offers
    // to undo the last move.
    void showToast(const QString& message, ToastKind kind = ToastKind::done,
                   bool offerUndo = false);
    // For whatever produces duplicate groups (the duplicate search).
    void setDuplicateGroups(std::vector<DuplicateFinder::DuplicateGroup> groups);

    const DuplicateFinder& duplicateFinder() const { return m_duplicateFinder; }
    // The search for files with the same content, which fills duplicateGroups(), and the moves
    // of the copies it found.
    DuplicateSearch& duplicateSearch() { return *m_duplicateSearch; }
    const DuplicateSearch& duplicateSearch() const { return *m_duplicateSearch; }
    // The one owner of changes to the published result.
    ResultEditor& editor() { return *m_editor; }
    const ResultEditor& editor() const { return *m_editor; }
    // Where the state's background jobs run.
    BackgroundWork& backgroundWork() { return m_work; }
    // The scans kept of the folders scanned here, and the comparison with an earlier one.
    HistoryKeeper& history() { return *m_history; }
    ChangesTracker& changes() { return *m_changes; }

    // Work on another thread that reads the current result's tree (keeping it in the history,
    // comparing it with an earlier scan) holds the tree still with holdTree() until it ends, and
    // gives way to changes: a change of the tree waits in afterTreeReaders(), which cancels the
    // readers and runs it once the last one has released the tree. (An export does not give way:
    // the editor refuses changes while it runs.) A hold on a result that is no longer the
    // current one holds nothing: nothing changes that tree any more. Returns the hold to
    // release, 0 when nothing needed holding.
    std::uint64_t holdTree(const std::shared_ptr<ScanResult>& result, CancellationToken token);
    void releaseTree(std::uint64_t hold);
    bool isTreeHeld() const;
    // Runs `change` (of the current tree) now when nothing reads the tree, else once nothing
    // does; changes run in the order they were given.
    void afterTreeReaders(std::function<void()> change);
    // Whether changes wait for readers of the tree: readers start none meanwhile, until
    // treeFree().
    bool areChangesWaiting() const { return !m_afterReaders.empty(); }

    // The sentence that says why an export could not be read.
    static QString importErrorText(NcduReader::ErrorKind kind);

    // Starts a scan of `path` (raw bytes), cancelling the scan in progress. A scan that a newer
    // one supersedes publishes nothing; isScanning() stays true until the newest one ends.
    void scanDirectory(const std::string& path);
    void scanDirectory(const QString& path);

    // Opens a scan saved in ncdu's export format (see NcduReader) at `path` (raw bytes) in the
    // background, as a scan runs: isScanning() and scanProgress() follow it, and a newer scan
    // or open supersedes it. Once read it becomes the current result as a finished scan does,
    // marked as opened from the file, dated with the export's timestamp (else with the file's
    // modification time). When it cannot be read the current result stays as it was and a
    // toast says why (and, with no result, scanProgress() is failed with the same words).
    void openScan(const std::string& path);
    void openScan(const QString& path);
    // Stops the running scan or open. A scan ends soon and what it has read becomes the current
    // result, as a finished scan does, marked as stopped (ScanResult::wasStopped(); it is not
    // kept in the history of scans); meanwhile isStoppingScan() is true. A scan that does not
    // answer within Services::stopWaitMilliseconds (stuck in the kernel on a mount that stopped
    // answering) is left behind, as a newer scan leaves it: it publishes nothing, what was shown
    // before shows again and a toast says why. An open stops at once, publishing nothing.
    void stopScan();
    bool isStoppingScan() const { return m_isScanning && m_isStopping; }
    // Whether the work isScanning() stands for is the reading of an export.
    bool isOpeningScan() const { return m_isScanning && m_isOpening; }

    // Whether the current result was opened from a file: its files are not on this machine, or
    // no longer as they were, so nothing is moved to the Trash or revealed on its strength and
    // files deleted elsewhere are not looked for.
    bool isReadOnly() const { return m_scanResult && m_scanResult->isOpenedFromFile(); }

    // Writes the current result to `path` (raw bytes) in ncdu's export format in the background;
    // a toast reports the outcome. While it runs the tree does not change: moves to the Trash
    // are off, and files deleted elsewhere are looked for again afterwards. False, and nothing
    // starts, without a result, while an export or a move runs, or while a scan runs.
    bool exportScan(const std::string& path);
    bool exportScan(const QString& path);
    bool isExporting() const { return m_isExporting; }

    // Makes a ready result the current one, as a finished scan does: published, a new content
    // revision, progress completed, the overview shown. For results made without a folder on
    // disk; nothing was noted on disk for it, so files deleted elsewhere are not looked for.
    void showResult(std::shared_ptr<ScanResult> result);

    // Looks for entries of the result that were deleted outside the application (in the
    // background) and has the editor remove them. The application calls it each time it
    // becomes active. One check runs at a time: a call during a check asks for one more after
    // it.
    void checkExternalDeletions();
    bool isCheckingExternalDeletions() const { return m_checkToken.has_value(); }

Q_SIGNALS:
    void changed();
    void scanResultChanged();
    void isScanningChanged();
    void isStoppingChanged();
    void isExportingChanged();
    void scanProgressChanged();
    void selectedNodeChanged();
    void navigationSelectionChanged();
    void showDirectoryPickerChanged();
    void duplicateGroupsChanged();
    void duplicateSearchChanged(); // isDuplicateScanning, duplicateProgress
    void cacheLocationsChanged();
    void deleteProgressChanged(); // isDeleting, deleteCount, deleteTotalCount
    void toastMessageChanged();
    void inspectorCandidateNodesChanged();
    void contentRevisionChanged();
    // The changes that waited for readers of the tree have landed.
    void treeFree();

private:
    friend class ResultEditor;
    friend class DuplicateSearch;

    void publish(void (AppState::*signal)());
    void startWork(bool opening);
    // The running scan or open publishes nothing; what was shown before shows again.
    void abandonWork();
    // Scanning or opening starts, or is over; either way nothing is stopping.
    void setScanning(bool scanning);
    std::function<void(const ScanProgress&)> progressFor(std::uint64_t generation);
    void finishOpen(std::uint64_t generation, NcduReader::Outcome outcome, std::string path,
                    std::int64_t fileDate);
    void finishExport(const QString& name, const QString& error, bool cancelled);
    void finishScan(std::uint64_t generation, DiskScanner::Outcome outcome,
                    std::shared_ptr<ScanResult> result);
    void publishResult(std::shared_ptr<ScanResult> result,
                       std::shared_ptr<const FileExistenceIndex> existence);
    void clearSideCollections();
    void runChangesAfterReaders();
    void finishExternalCheck(const std::weak_ptr<ScanResult>& checked,
                             const std::vector<FileExistenceIndex::Missing>& missing);
    // For the editor: the selection's candidates and the duplicate groups lose what left.
    void pruneAfterRemoval(const NodeIdSet& files);
    void bumpRevision();
    // For the duplicate search.
    void setDuplicateSearch(bool scanning, const DuplicateFinder::Progress& progress);

    BackgroundWork m_work; // first member: the last to go, after the jobs were told to stop
    Services m_services;
    std::shared_ptr<ScanResult> m_scanResult;
    std::shared_ptr<const FileExistenceIndex> m_existence; // of the scan behind m_scanResult
    bool m_isScanning = false;
    bool m_isOpening = false; // the running work reads an export
    bool m_isStopping = false; // the running scan was asked to stop and keep what it read
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
    std::optional<QString> m_toastMessage;
    ToastKind m_toastKind = ToastKind::done;
    bool m_toastOffersUndo = false;
    std::vector<NodeRef> m_inspectorCandidateNodes;
    std::int64_t m_contentRevision = 0;

    std::optional<CancellationToken> m_checkToken; // set while a check runs
    bool m_checkAgain = false;
    QTimer m_toastTimer;
    DuplicateFinder m_duplicateFinder{1024, 1048576};
    DiskScanner m_scanner;
    CancellationToken m_scanToken;
    CancellationToken m_stopToken; // cancelled: the running scan ends with what it read
    // Set by the running scan's job once its scanner has returned.
    std::shared_ptr<std::atomic<bool>> m_scanAnswered;
    QTimer m_stopWait;
    std::uint64_t m_scanGeneration = 0;
    CancellationToken m_exportToken;
    std::shared_ptr<ScanResult> m_exportResult; // the result being written
    ResultEditor* m_editor;
    DuplicateSearch* m_duplicateSearch;
    HistoryKeeper* m_history;
    ChangesTracker* m_changes;

    struct TreeHold {
        std::uint64_t id;
        CancellationToken token;
        std::uint64_t result; // the serial of the result held
    };
    std::vector<TreeHold> m_holds;
    std::uint64_t m_nextHold = 1;
    std::uint64_t m_resultSerial = 0; // of the current result
    std::vector<std::function<void()>> m_afterReaders;
};

} // namespace plenvo
