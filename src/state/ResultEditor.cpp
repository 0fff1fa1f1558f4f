#include "ResultEditor.h"

#include "AppState.h"
#include "UiThread.h"
#include "models/ScanResult.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QPointer>

#include <sys/stat.h>

#include <algorithm>
#include <unordered_set>
#include <utility>


namespace plenvo {

namespace {

// Names for a toast: a few, then an ellipsis.
QString someNames(const std::vector<QString>& names)
{
    constexpr std::size_t kShown = 3;
    QStringList shown;
    for (std::size_t i = 0; i < names.size() && i < kShown; ++i)
        shown << names[i];
    QString text = shown.join(QStringLiteral(", "));
    if (names.size() > kShown)
        text += QStringLiteral(", \u2026");
    return text;
}

} // namespace

ResultEditor::ResultEditor(AppState& state, BackgroundWork& work, std::shared_ptr<Trash> trash)
    : QObject(&state), m_state(state), m_work(work), m_trash(std::move(trash))
{
    connect(&state, &AppState::scanResultChanged, this, &ResultEditor::policyChanged);
    connect(&state, &AppState::isExportingChanged, this, &ResultEditor::policyChanged);
}

ResultEditor::~ResultEditor()
{
    m_token.cancel();
}

ResultEditor::Refusal ResultEditor::trashRefusal() const
{
    if (!m_state.scanResult())
        return Refusal::noResult;
    if (m_state.isReadOnly())
        return Refusal::readOnly;
    if (m_state.isExporting())
        return Refusal::exporting;
    if (m_busy)
        return Refusal::busy;
    return Refusal::none;
}

QString ResultEditor::refusalReason() const
{
    switch (trashRefusal()) {
    case Refusal::readOnly:
        return L("readOnly.detail");
    case Refusal::exporting:
        return L("export.busy");
    case Refusal::busy:
        return L("delete.busy");
    case Refusal::none:
    case Refusal::noResult:
        break;
    }
    return {};
}

void ResultEditor::setBusy(bool busy, std::int64_t total)
{
    m_busy = busy;
    m_progressCount = 0;
    m_progressTotal = busy ? total : 0;
    Q_EMIT progressChanged();
    Q_EMIT policyChanged();
}

template <typename Input, typename Each, typename Outcome>
void ResultEditor::runJob(std::vector<Input> inputs, Each each,
                          void (ResultEditor::*finish)(const std::vector<Outcome>&))
{
    // One job for all items, one after another; the rest stays as it is once cancelled.
    m_token = CancellationToken::create();
    QPointer<ResultEditor> self(this);
    m_work.start(m_token, [self, inputs = std::move(inputs), each = std::move(each),
                           finish](const CancellationToken& token) {
        std::vector<Outcome> outcomes;
        outcomes.reserve(inputs.size());
        for (const Input& input : inputs) {
            if (token.isCancelled())
                break;
            outcomes.push_back(each(input));
            postToUiThread([self, count = std::int64_t(outcomes.size())] {
                if (self)
                    self->setProgress(count);
            });
        }
        // The tree changes once nothing reads it any more.
        postToUiThread([self, outcomes = std::move(outcomes), finish] {
            if (self)
                self->m_state.afterTreeReaders([self, outcomes, finish] {
                    if (self)
                        (self.data()->*finish)(outcomes);
                });
        });
    });
}

void ResultEditor::setProgress(std::int64_t count)
{
    if (!m_busy || count == m_progressCount)
        return;
    m_progressCount = count;
    Q_EMIT progressChanged();
}

std::vector<NodeRef> ResultEditor::inTreeTops(std::vector<NodeRef> nodes) const
{
    // Nodes of the current tree only, each once, none inside another that is given too.
    const std::shared_ptr<ScanResult>& result = m_state.scanResult();
    std::erase(nodes, nullptr);
    if (!result)
        return {};
    std::unordered_set<const FileNode*> given;
    for (const NodeRef& node : nodes)
        given.insert(node.get());
    std::vector<NodeRef> tops;
    std::unordered_set<const FileNode*> taken;
    for (const NodeRef& node : nodes) {
        if (!node->isWithin(*result->rootNode()) || !taken.insert(node.get()).second)
            continue;
        bool inside = false;
        for (const FileNode* up = node->parent(); up && !inside; up = up->parent())
            inside = given.count(up) != 0;
        if (!inside)
            tops.push_back(node);
    }
    return tops;
}

bool ResultEditor::moveToTrash(std::vector<NodeRef> nodes, QString note)
{
    if (!canMoveToTrash())
        return false;
    const std::shared_ptr<ScanResult> result = m_state.scanResult();
    std::vector<NodeRef> tops = inTreeTops(std::move(nodes));
    if (tops.empty())
        return false;
    m_job.clear();
    std::vector<EntryIdentity> identities;
    for (const NodeRef& node : tops) {
        Item item{node, NodeRef(node->parent()), EntryIdentity::of(*node, result->facts().get()),
                  {}};
        identities.push_back(item.identity);
        m_job.push_back(std::move(item));
    }
    m_jobResult = result;
    m_jobNote = std::move(note);
    m_undoing = false;
    setBusy(true, std::int64_t(tops.size()));
    runJob(std::move(identities),
           [trash = m_trash](const EntryIdentity& identity) { return trash->moveToTrash(identity); },
           &ResultEditor::finishMove);
    return true;
}

void ResultEditor::finishMove(const std::vector<Trash::Moved>& outcomes)
{
    std::vector<Item> job = std::move(m_job);
    m_job.clear();
    std::vector<Item> moved;
    std::vector<NodeRef> gone; // moved, or no longer what was scanned
    std::vector<QString> refusedNames;
    std::int64_t changed = 0;
    for (std::size_t i = 0; i < outcomes.size() && i < job.size(); ++i) {
        Item& item = job[i];
        switch (outcomes[i].status) {
        case Trash::MoveStatus::moved:
            item.ticket = outcomes[i].ticket;
            gone.push_back(item.node);
            moved.push_back(std::move(item));
            break;
        case Trash::MoveStatus::changed:
            gone.push_back(item.node);
            ++changed;
            break;
        case Trash::MoveStatus::refused:
            refusedNames.push_back(item.node->name());
            break;
        }
    }

    // What the result counts less for the moves, before the nodes leave it (at least that,
    // for a folder a stopped scan did not read to the end).
    std::int64_t freed = 0;
    bool atLeast = false;
    std::vector<NodeRef> movedNodes;
    for (const Item& item : moved) {
        freed += item.node->cachedSize();
        atLeast |= item.node->isIncomplete();
        movedNodes.push_back(item.node);
    }
    NodeIdSet movedFiles;
    for (const NodeRef& file : ScanResult::filesWithin(movedNodes))
        movedFiles.insert(file->id());

    const qint64 movedCount = qint64(moved.size());
    const bool sameResult = m_jobResult.lock() == m_state.scanResult() && m_state.scanResult();
    if (sameResult) {
        for (const Handover& handover : remove(inTreeTops(gone)))
            if (movedFiles.count(handover.from))
                freed -= handover.size; // another name still holds that space
        if (!moved.empty()) { // a move that moved nothing leaves the last one undoable
            m_undo = std::move(moved);
            m_undoResult = m_state.scanResult();
        }
    } else {
        m_undo.clear(); // moved from a result that is gone: nothing to put back into
    }
    setBusy(false, 0);

    const qint64 failures = qint64(refusedNames.size());
    const auto count = FormatUtils::countArg;
    QString message;
    if (job.size() == 1) {
        if (movedCount == 1)
            message = L("delete.done.single %@", FormatUtils::formatBytesCompact(freed, atLeast));
        else if (changed == 1)
            message = L("delete.changed %@", job.front().node->name());
        else
            message = L("delete.failed %@", job.front().node->name());
    } else {
        const QString bytes = FormatUtils::formatBytesCompact(freed, atLeast);
        message = failures < 1 ? L("delete.done.batch %lld %@", count(movedCount), bytes)
                               : L("delete.done.batchWithFailures %lld %@ %lld",
                                   count(movedCount), bytes, count(failures));
        if (changed > 0)
            message += QStringLiteral(" \u00b7 ") + L("delete.changedCount %lld", count(changed));
    }
    if (!m_jobNote.isEmpty())
        message += QStringLiteral(" \u00b7 ") + std::exchange(m_jobNote, {});
    const bool allMoved = failures == 0 && changed == 0;
    m_state.showToast(message, allMoved ? AppState::ToastKind::done : AppState::ToastKind::warning,
                      movedCount > 0 && canUndo());
}

bool ResultEditor::canUndo() const
{
    return !m_undo.empty() && !m_busy && !m_state.isExporting() && m_state.scanResult() &&
           m_undoResult.lock() == m_state.scanResult();
}

bool ResultEditor::undo()
{
    if (!canUndo())
        return false;
    m_job = std::move(m_undo);
    m_undo.clear();
    m_jobResult = m_undoResult;
    std::vector<std::pair<EntryIdentity, Trash::Ticket>> items;
    for (const Item& item : m_job)
        items.emplace_back(item.identity, item.ticket);
    m_undoing = true;
    setBusy(true, std::int64_t(items.size()));
    runJob(std::move(items), [trash = m_trash](const std::pair<EntryIdentity, Trash::Ticket>& item) {
        Restored outcome;
        outcome.status = trash->restore(item.first, item.second);
        struct stat st;
        if (outcome.status == Trash::RestoreStatus::restored &&
            ::lstat(item.first.path().c_str(), &st) == 0) {
            outcome.statted = true;
            outcome.isDirectory = S_ISDIR(st.st_mode);
            outcome.size = std::int64_t(st.st_blocks) * 512;
            outcome.modified =
                std::int64_t(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
        }
        return outcome;
    }, &ResultEditor::finishUndo);
    return true;
}

void ResultEditor::finishUndo(const std::vector<Restored>& outcomes)
{
    std::vector<Item> job = std::move(m_job);
    m_job.clear();
    const std::shared_ptr<ScanResult> result = m_state.scanResult();
    const bool sameResult = result && m_jobResult.lock() == result;
    std::vector<NodeRef> back;
    std::vector<QString> taken, missing, failed;
    // A file with several names counts its space under one of them: the files of those names
    // that some name in the tree counts already count nothing when they come back.
    std::unordered_set<DeviceInode, DeviceInodeHash> counted;
    if (sameResult) {
        std::vector<const FileNode*> files;
        for (const Item& item : job)
            if (!item.node->isDirectory())
                files.push_back(item.node.get());
        counted = countedElsewhere(files);
    }
    for (std::size_t i = 0; i < job.size(); ++i) {
        const Item& item = job[i];
        const Trash::RestoreStatus status =
            i < outcomes.size() ? outcomes[i].status : Trash::RestoreStatus::failed;
        switch (status) {
        case Trash::RestoreStatus::restored:
            break;
        case Trash::RestoreStatus::taken:
            taken.push_back(item.node->name());
            continue;
        case Trash::RestoreStatus::notInTrash:
            missing.push_back(item.node->name());
            continue;
        case Trash::RestoreStatus::failed:
            failed.push_back(item.node->name());
            continue;
        }
        // Back on disk; back in the tree if its folder still is.
        if (!sameResult || !item.parent || !item.parent->isWithin(*result->rootNode()) ||
            item.node->parent())
            continue;
        const Restored& found = outcomes[i];
        if (!item.node->isDirectory() && found.statted && !found.isDirectory) {
            item.node->setModificationDate(found.modified);
            const NodeFacts::Facts* facts =
                result->facts() ? result->facts()->find(item.node->id()) : nullptr;
            const bool linked = facts && facts->hardLinked;
            const bool countedThere =
                linked && !counted.insert({facts->device, item.node->inode()}).second;
            item.node->setFileSize(countedThere ? 0 : found.size);
        }
        if (item.parent->addChild(item.node))
            back.push_back(item.node);
    }
    if (!back.empty()) {
        result->addFiles(ScanResult::filesWithin(back));
        m_state.bumpRevision();
        Q_EMIT restored(back);
    }
    setBusy(false, 0);

    const qint64 restoredCount = qint64(job.size() - taken.size() - missing.size() - failed.size());
    QString message = restoredCount == 1 && job.size() == 1
                          ? L("undo.done.single %@", job.front().node->name())
                          : L("undo.done %lld", FormatUtils::countArg(restoredCount));
    if (!taken.empty())
        message += QStringLiteral(" \u00b7 ") + L("undo.taken %@", someNames(taken));
    if (!missing.empty())
        message += QStringLiteral(" \u00b7 ") + L("undo.notInTrash %@", someNames(missing));
    if (!failed.empty())
        message += QStringLiteral(" \u00b7 ") + L("undo.failed %@", someNames(failed));
    const bool allBack = restoredCount == qint64(job.size());
    m_state.showToast(message, allBack ? AppState::ToastKind::done : AppState::ToastKind::warning);
}

void ResultEditor::removeVanished(const std::vector<NodeRef>& nodes)
{
    const std::vector<NodeRef> tops = inTreeTops(nodes);
    if (tops.empty())
        return;
    std::int64_t bytes = 0;
    bool atLeast = false;
    for (const NodeRef& node : tops) {
        bytes += node->cachedSize();
        atLeast |= node->isIncomplete();
    }
    const std::vector<NodeRef> files = ScanResult::filesWithin(tops);
    for (const Handover& handover : remove(tops))
        bytes -= handover.size;
    m_state.showToast(L("delete.done.batch %lld %@", FormatUtils::countArg(qint64(files.size())),
                        FormatUtils::formatBytesCompact(bytes, atLeast)));
}

void ResultEditor::resultReplaced()
{
    m_undo.clear();
    m_undoResult.reset();
    Q_EMIT policyChanged();
}

NodeRef ResultEditor::survivor(const NodeIdSet& fileIds,
                               const std::vector<const FileNode*>& tops) const
{
    const auto leaves = [&](const NodeRef& node) {
        if (fileIds.count(node->id()))
            return true;
        return std::any_of(tops.begin(), tops.end(),
                           [&](const FileNode* top) { return node->isWithin(*top); });
    };
    // The node shown stays when it stays; else the first row of the list the user works in
    // that stays; else the largest file that stays.
    if (const NodeRef& selected = m_state.selectedNode(); selected && !leaves(selected))
        return selected;
    for (const NodeRef& node : m_state.inspectorCandidateNodes())
        if (!leaves(node))
            return node;
    if (const std::shared_ptr<ScanResult>& result = m_state.scanResult())
        for (const NodeRef& node : result->topFiles())
            if (!leaves(node))
                return node;
    return {};
}

std::unordered_set<DeviceInode, DeviceInodeHash>
ResultEditor::countedElsewhere(const std::vector<const FileNode*>& files) const
{
    // One pass over the result's files, and only when a file with several names is among them.
    std::unordered_set<DeviceInode, DeviceInodeHash> counted;
    const std::shared_ptr<ScanResult>& result = m_state.scanResult();
    const NodeFacts* facts = result ? result->facts().get() : nullptr;
    if (!facts)
        return counted;
    std::unordered_set<DeviceInode, DeviceInodeHash> wanted;
    std::unordered_set<const FileNode*> given(files.begin(), files.end());
    for (const FileNode* file : files)
        if (const NodeFacts::Facts* f = facts->find(file->id()); f && f->hardLinked)
            wanted.insert({f->device, file->inode()});
    if (wanted.empty())
        return counted;
    for (const NodeRef& other : result->allFiles()) {
        if (other->fileSize() == 0 || given.count(other.get()))
            continue;
        const NodeFacts::Facts* theirs = facts->find(other->id());
        if (theirs && theirs->hardLinked && wanted.count({theirs->device, other->inode()}))
            counted.insert({theirs->device, other->inode()});
    }
    return counted;
}

std::vector<ResultEditor::Handover>
ResultEditor::handoversFor(const std::vector<NodeRef>& files, const NodeIdSet& fileIds) const
{
    // A file with several names counts its space under one of them; when that one goes and
    // another stays, the space stays too, counted under the first name that stays.
    const std::shared_ptr<ScanResult>& result = m_state.scanResult();
    const NodeFacts* facts = result->facts().get();
    if (!facts)
        return {};
    std::vector<const FileNode*> carriers;
    for (const NodeRef& file : files) {
        const NodeFacts::Facts* f = facts->find(file->id());
        if (f && f->hardLinked && file->fileSize() > 0)
            carriers.push_back(file.get());
    }
    std::vector<Handover> handovers;
    if (carriers.empty())
        return handovers;
    std::vector<std::uint64_t> inodes;
    for (const FileNode* carrier : carriers)
        inodes.push_back(carrier->inode());
    std::sort(inodes.begin(), inodes.end());
    for (const NodeRef& other : result->allFiles()) {
        if (!std::binary_search(inodes.begin(), inodes.end(), other->inode()) ||
            fileIds.count(other->id()))
            continue;
        const NodeFacts::Facts* theirs = facts->find(other->id());
        if (!theirs || !theirs->hardLinked)
            continue;
        for (const FileNode*& carrier : carriers) {
            if (carrier && carrier->inode() == other->inode() &&
                facts->find(carrier->id())->device == theirs->device) {
                handovers.push_back({carrier->id(), other, carrier->fileSize()});
                carrier = nullptr; // one heir each
                break;
            }
        }
    }
    return handovers;
}

std::vector<ResultEditor::Handover> ResultEditor::remove(const std::vector<NodeRef>& tops)
{
    const std::shared_ptr<ScanResult> result = m_state.scanResult();
    if (!result || tops.empty())
        return {};
    Q_EMIT aboutToRemove(tops);

    const std::vector<NodeRef> files = ScanResult::filesWithin(tops);
    NodeIdSet fileIds;
    for (const NodeRef& file : files)
        fileIds.insert(file->id());
    std::vector<const FileNode*> topNodes;
    for (const NodeRef& top : tops)
        topNodes.push_back(top.get());
    const NodeRef replacement = survivor(fileIds, topNodes);
    const NodeRef& selected = m_state.selectedNode();
    const bool selectionLeaves =
        selected && (fileIds.count(selected->id()) ||
                     std::any_of(topNodes.begin(), topNodes.end(),
                                 [&](const FileNode* top) { return selected->isWithin(*top); }));
    const std::vector<Handover> handovers = handoversFor(files, fileIds);
    std::int64_t bytes = 0;
    for (const NodeRef& top : tops)
        bytes += top->cachedSize();

    // Out of the tree: each folder's removed children in one pass. The root itself cannot
    // leave: what it holds does.
    NodeIdSet ids = fileIds;
    std::vector<std::pair<FileNode*, NodeIdSet>> byParent;
    for (const NodeRef& top : tops) {
        if (!top->parent()) {
            NodeIdSet children;
            for (const FileNode* child : top->children())
                children.insert(child->id());
            for (const NodeRef& child : ScanResult::filesWithin({top}))
                ids.insert(child->id());
            byParent.emplace_back(top.get(), std::move(children));
            continue;
        }
        ids.insert(top->id());
        auto it = std::find_if(byParent.begin(), byParent.end(),
                               [&](const auto& entry) { return entry.first == top->parent(); });
        if (it == byParent.end())
            byParent.emplace_back(top->parent(), NodeIdSet{top->id()});
        else
            it->second.insert(top->id());
    }
    for (auto& [parent, children] : byParent)
        parent->removeChildren(children);
    result->removeNodes(fileIds);
    for (const Handover& handover : handovers) {
        result->resizeFile(handover.to, handover.size);
        bytes -= handover.size;
    }

    m_state.pruneAfterRemoval(fileIds);
    m_state.bumpRevision();
    if (selectionLeaves)
        m_state.setSelectedNode(replacement);
    Q_EMIT removed(ids, bytes);
    return handovers;
}

} // namespace plenvo
