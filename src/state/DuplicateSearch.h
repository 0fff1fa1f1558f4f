#pragma once

#include "models/FileNode.h"
#include "services/BackgroundWork.h"
#include "services/DuplicateFinder.h"

#include <QObject>
#include <QString>
#include <QUuid>

#include <cstdint>
#include <memory>
#include <vector>

namespace plenvo {

class AppState;
class ScanResult;

// The search of the current result for files with the same content, and the moves of the copies
// it found. Owned by the state, which publishes what it finds: AppState::isDuplicateScanning(),
// duplicateProgress() and duplicateGroups() (groups with the most wasted space first).
//
// A search reads the files of the result as the tree has them (no folder is listed again) on
// the state's background work, through the state's DuplicateFinder and its hash cache; a new
// scan or open, another result, or Stop end it, and it then publishes nothing.
//
// Moves of copies go through moveToTrash(), which keeps at least one copy of every group: when
// every copy of a group is chosen, none of that group moves, and the toast says so. Before the
// move the groups of the chosen files are checked again in the background: members whose
// length or dates changed since they were hashed are hashed again and regrouped, so that a copy
// that is no longer one is never moved as one. The moves themselves are the result editor's,
// with its undo; the copies put back by an undo are in their groups again.
class DuplicateSearch : public QObject {
    Q_OBJECT

public:
    // Why a search cannot start now.
    enum class Refusal {
        none,
        noResult,
        readOnly,  // an opened scan: its files are not on this machine as they were
        scanning,  // a scan or an open runs
        searching, // a search runs
    };

    DuplicateSearch(AppState& state, BackgroundWork& work);
    ~DuplicateSearch() override;

    Refusal searchRefusal() const;
    bool canSearch() const { return searchRefusal() == Refusal::none; }
    // Starts a search of the current result in the background; the groups found before go.
    // False, starting nothing, when the search is refused.
    bool start();
    // Stops the running search: it publishes nothing, and the progress is idle again.
    void stop();
    bool isSearching() const;

    // Files the last search could not read, or that changed while it read them (left out).
    std::int64_t unreadableFiles() const { return m_unreadable; }
    std::int64_t changedFiles() const { return m_changed; }

    // Whether chosen copies may be moved now: the editor allows moves, and no check of chosen
    // copies runs.
    bool canMoveToTrash() const;
    // Why not, for a tooltip; empty when they may.
    QString refusalReason() const;
    // Whether the groups of chosen copies are being checked before their move.
    bool isChecking() const { return m_checking; }
    // Moves the chosen copies (files of the published groups) to the Trash, at least one copy
    // of every group staying, after checking their groups again. False, starting nothing, when
    // moves are refused now or no chosen file is in a group.
    bool moveToTrash(const std::vector<NodeRef>& chosen);

    // For the state: the result goes or a scan or an open starts. What runs stops, what was
    // found is forgotten, the groups are emptied and the progress is idle.
    void clear();

Q_SIGNALS:
    // canSearch(), canMoveToTrash() or isChecking() may have changed.
    void policyChanged();

private:
    struct Check {
        QUuid id;
        DuplicateFinder::ContentGroup group; // the members still in the result
    };

    void cancelWork();
    void forget();
    void progressed(std::uint64_t generation, const DuplicateFinder::Progress& progress);
    void finishSearch(std::uint64_t generation,
                      std::shared_ptr<const DuplicateCandidates> files,
                      DuplicateFinder::Outcome outcome);
    void finishCheck(std::uint64_t generation, const std::vector<QUuid>& ids,
                     const std::vector<DuplicateFinder::Recheck>& rechecks);
    // Replaces the group `id` by what a check found it to be now.
    void regroup(const QUuid& id, std::vector<DuplicateFinder::ContentGroup> groups);
    void move(const std::vector<NodeRef>& chosen);
    // The groups found, as groups of the result's files, for the state to publish.
    void publishGroups();
    bool hasMember(const DuplicateFinder::ContentGroup& group, const NodeId& id) const;

    AppState& m_state;
    BackgroundWork& m_work;
    CancellationToken m_token;      // of the running search or check
    std::uint64_t m_generation = 0; // what a search or check that ended late reports is dropped
    bool m_checking = false;
    std::vector<NodeRef> m_chosen; // what the running check is for

    // What the last search found, for the result it searched.
    std::weak_ptr<ScanResult> m_searched;
    std::shared_ptr<const DuplicateCandidates> m_files;
    std::vector<DuplicateFinder::ContentGroup> m_groups; // the most wasted space first
    std::vector<QUuid> m_ids;                            // each group's, as published
    std::int64_t m_unreadable = 0;
    std::int64_t m_changed = 0;
};

} // namespace plenvo
