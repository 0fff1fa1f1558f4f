#pragma once

#include "Trash.h"
#include "models/DeviceInode.h"
#include "models/FileNode.h"
#include "services/BackgroundWork.h"
#include "services/EntryIdentity.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

namespace plenvo {

class AppState;
class ScanResult;

// The one owner of changes to the current result after it was published: moves to the Trash,
// putting the last move back (undo), and entries found deleted elsewhere. Each change updates
// the tree, every statistic of the result, the duplicate groups, the inspector's candidates and
// the selection in one step on the user-interface thread, bumps the content revision once, and
// tells views what changed with signals that carry it, so that models insert and remove rows
// instead of starting over.
//
// Moves and restores run as one background job (one item is a batch of one), never on the
// user-interface thread. Just before each move the item's path is checked against what the scan
// recorded (see Trash and EntryIdentity): an item that is no longer the scanned one is not
// moved and leaves the result as deleted elsewhere. The selection moves on only for what really
// left the result. The outcome lands in the tree once no background work reads it (see
// AppState::afterTreeReaders()).
//
// One policy, canMoveToTrash(), says whether a move may start; every surface that offers one
// is bound to it through policyChanged().
class ResultEditor : public QObject {
    Q_OBJECT

public:
    // Why a move to the Trash cannot start now.
    enum class Refusal {
        none,
        noResult,
        readOnly,  // an opened scan: its files are not on this machine as they were
        exporting, // the tree must stay as it is while it is written out
        busy,      // a move or an undo is running
    };

    ResultEditor(AppState& state, BackgroundWork& work, std::shared_ptr<Trash> trash);
    ~ResultEditor() override;

    Refusal trashRefusal() const;
    bool canMoveToTrash() const { return trashRefusal() == Refusal::none; }
    // Why moving to the Trash is off, for a tooltip; empty when it is not.
    QString refusalReason() const;

    // Moves these nodes (files or folders of the current tree; one inside another goes with it)
    // to the Trash as one background job. False, starting nothing, when the policy refuses or
    // nothing of the current tree is given. A `note` is added to the toast that reports it.
    bool moveToTrash(std::vector<NodeRef> nodes, QString note = {});

    // Whether a move or an undo runs, and how far it has come.
    bool isBusy() const { return m_busy; }
    // Whether what runs puts the last move back.
    bool isUndoing() const { return m_busy && m_undoing; }
    std::int64_t progressCount() const { return m_progressCount; }
    std::int64_t progressTotal() const { return m_progressTotal; }

    // Puts the items of the last move back where they were, as a background job; each item back
    // on disk is back in the tree and the statistics. Until a new result replaces this one.
    bool canUndo() const;
    bool undo();

    // Entries of the current tree that were deleted outside the application.
    void removeVanished(const std::vector<NodeRef>& nodes);

    // The state published another result: the last move can no longer be undone.
    void resultReplaced();

Q_SIGNALS:
    // Before these nodes (and what is below them) leave the tree, which is still intact.
    void aboutToRemove(const std::vector<NodeRef>& nodes);
    // After: the ids of every node that left (folders and the files below them), and the bytes
    // the result counts less.
    void removed(const NodeIdSet& ids, std::int64_t bytes);
    // Nodes back in the tree (with what is below them).
    void restored(const std::vector<NodeRef>& nodes);
    void progressChanged();
    // canMoveToTrash() or canUndo() may have changed.
    void policyChanged();

private:
    struct Item {
        NodeRef node;
        NodeRef parent;
        EntryIdentity identity;
        Trash::Ticket ticket;
    };
    struct Restored {
        Trash::RestoreStatus status = Trash::RestoreStatus::failed;
        bool statted = false;
        bool isDirectory = false;
        std::int64_t size = 0;
        std::optional<std::int64_t> modified;
    };
    struct Handover {
        NodeId from; // a removed name of a file with several names
        NodeRef to;  // the name that counts its space now
        std::int64_t size;
    };

    // Runs `each` on every input in one background job, posting the progress after each and
    // then all outcomes, in order, to `finish`.
    template <typename Input, typename Each, typename Outcome>
    void runJob(std::vector<Input> inputs, Each each,
                void (ResultEditor::*finish)(const std::vector<Outcome>&));
    void setBusy(bool busy, std::int64_t total);
    void setProgress(std::int64_t count);
    void finishMove(const std::vector<Trash::Moved>& outcomes);
    void finishUndo(const std::vector<Restored>& outcomes);
    // Takes these nodes (in the tree, none inside another) out of the tree and the result.
    std::vector<Handover> remove(const std::vector<NodeRef>& tops);
    NodeRef survivor(const NodeIdSet& fileIds, const std::vector<const FileNode*>& tops) const;
    std::vector<Handover> handoversFor(const std::vector<NodeRef>& files,
                                       const NodeIdSet& fileIds) const;
    // Of these files' identities, those whose space another name in the tree counts.
    std::unordered_set<DeviceInode, DeviceInodeHash>
    countedElsewhere(const std::vector<const FileNode*>& files) const;
    std::vector<NodeRef> inTreeTops(std::vector<NodeRef> nodes) const;

    AppState& m_state;
    BackgroundWork& m_work;
    std::shared_ptr<Trash> m_trash;
    bool m_busy = false;
    bool m_undoing = false;
    std::int64_t m_progressCount = 0;
    std::int64_t m_progressTotal = 0;
    std::vector<Item> m_job;                 // the items of the running move or undo
    QString m_jobNote;                       // for the toast of the running move
    std::weak_ptr<ScanResult> m_jobResult;   // the result they belong to
    std::vector<Item> m_undo;                // the last move, in the Trash
    std::weak_ptr<ScanResult> m_undoResult;
    CancellationToken m_token;
};

} // namespace plenvo
