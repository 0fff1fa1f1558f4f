#include "DuplicateSearch.h"

#include "AppState.h"
#include "DuplicateChoice.h"
#include "UiThread.h"
#include "models/ScanResult.h"
#include "utils/Localization.h"

#include <QHash>
#include <QPointer>
#include <QStringList>

#include <algorithm>

namespace plenvo {

using Progress = DuplicateFinder::Progress;

DuplicateSearch::DuplicateSearch(AppState& state, BackgroundWork& work)
    : QObject(&state), m_state(state), m_work(work)
{
    connect(&state.editor(), &ResultEditor::policyChanged, this, &DuplicateSearch::policyChanged);
    // Copies put back by an undo are copies again.
    connect(&state.editor(), &ResultEditor::restored, this, &DuplicateSearch::publishGroups);
    connect(&state, &AppState::isScanningChanged, this, &DuplicateSearch::policyChanged);
}

DuplicateSearch::~DuplicateSearch()
{
    m_token.cancel();
}

DuplicateSearch::Refusal DuplicateSearch::searchRefusal() const
{
    if (!m_state.scanResult())
        return Refusal::noResult;
    if (m_state.isReadOnly())
        return Refusal::readOnly;
    if (m_state.isScanning())
        return Refusal::scanning;
    if (isSearching())
        return Refusal::searching;
    return Refusal::none;
}

bool DuplicateSearch::isSearching() const
{
    return m_state.isDuplicateScanning();
}

void DuplicateSearch::cancelWork()
{
    m_token.cancel();
    m_token = {};
    ++m_generation;
    m_checking = false;
    m_chosen.clear();
}

void DuplicateSearch::forget()
{
    m_searched.reset();
    m_files.reset();
    m_groups.clear();
    m_ids.clear();
    m_unreadable = 0;
    m_changed = 0;
}

void DuplicateSearch::clear()
{
    cancelWork();
    forget();
    if (!m_state.duplicateGroups().empty())
        m_state.setDuplicateGroups({});
    if (m_state.isDuplicateScanning() || m_state.duplicateProgress() != Progress::idle())
        m_state.setDuplicateSearch(false, Progress::idle());
    Q_EMIT policyChanged();
}

bool DuplicateSearch::start()
{
    if (!canSearch())
        return false;
    cancelWork();
    forget();
    const std::shared_ptr<ScanResult> result = m_state.scanResult();
    // Taken here, where the tree lives; the search then needs nothing of the tree.
    auto files = std::make_shared<const DuplicateCandidates>(
        m_state.duplicateFinder().candidates(*result->rootNode(), result->facts().get()));
    m_searched = result;
    if (!m_state.duplicateGroups().empty())
        m_state.setDuplicateGroups({});
    m_state.setDuplicateSearch(true, Progress::groupingBySize(0));

    m_token = CancellationToken::create();
    const std::uint64_t generation = m_generation;
    QPointer<DuplicateSearch> self(this);
    m_work.start(m_token, [self, generation, files, finder = m_state.duplicateFinder()](
                              const CancellationToken& token) {
        const auto progress = [self, generation](const Progress& value) {
            postToUiThread([self, generation, value] {
                if (self)
                    self->progressed(generation, value);
            });
        };
        auto outcome = std::make_shared<DuplicateFinder::Outcome>(
            finder.find(*files, token, progress));
        postToUiThread([self, generation, files, outcome] {
            if (self)
                self->finishSearch(generation, files, std::move(*outcome));
        });
    });
    Q_EMIT policyChanged();
    return true;
}

void DuplicateSearch::stop()
{
    if (!isSearching())
        return;
    cancelWork();
    forget();
    m_state.setDuplicateSearch(false, Progress::idle());
    Q_EMIT policyChanged();
}

void DuplicateSearch::progressed(std::uint64_t generation, const Progress& progress)
{
    // The end is published with the groups, as the result has them then.
    if (generation == m_generation && isSearching() &&
        progress.kind() != Progress::Kind::completed)
        m_state.setDuplicateSearch(true, progress);
}

void DuplicateSearch::finishSearch(std::uint64_t generation,
                                   std::shared_ptr<const DuplicateCandidates> files,
                                   DuplicateFinder::Outcome outcome)
{
    if (generation != m_generation)
        return; // stopped, or superseded
    m_token = {};
    if (outcome.status == DuplicateFinder::Outcome::Status::cancelled) {
        forget();
        m_state.setDuplicateSearch(false, Progress::idle());
        Q_EMIT policyChanged();
        return;
    }
    m_files = std::move(files);
    m_groups = std::move(outcome.groups);
    m_ids.resize(m_groups.size());
    for (QUuid& id : m_ids)
        id = QUuid::createUuid();
    m_unreadable = outcome.unreadable;
    m_changed = outcome.changed;
    publishGroups();
    // Files moved meanwhile are no longer counted.
    std::int64_t wasted = 0;
    for (const DuplicateFinder::DuplicateGroup& group : m_state.duplicateGroups())
        wasted += std::int64_t(group.files.size() - 1) * group.fileSize;
    m_state.setDuplicateSearch(
        false, Progress::completed(std::int64_t(m_state.duplicateGroups().size()), wasted));
    Q_EMIT policyChanged();
}

bool DuplicateSearch::hasMember(const DuplicateFinder::ContentGroup& group, const NodeId& id) const
{
    return std::any_of(group.members.begin(), group.members.end(),
                       [&](const DuplicateFinder::Member& m) { return m_files->id(m.file) == id; });
}

void DuplicateSearch::publishGroups()
{
    const std::shared_ptr<ScanResult>& result = m_state.scanResult();
    if (!m_files || !result || result != m_searched.lock())
        return;
    std::vector<DuplicateFinder::DuplicateGroup> groups =
        DuplicateFinder::nodeGroups(m_groups, *m_files, result->allFiles());
    // The groups come in the order found, some left out: each keeps the id it was first
    // published with, so that lists follow it.
    std::size_t next = 0;
    for (DuplicateFinder::DuplicateGroup& group : groups) {
        const NodeId& first = group.files.front()->id();
        while (next < m_groups.size() && !hasMember(m_groups[next], first))
            ++next;
        if (next < m_groups.size())
            group.id = m_ids[next++];
    }
    m_state.setDuplicateGroups(std::move(groups));
}

bool DuplicateSearch::canMoveToTrash() const
{
    return m_state.editor().canMoveToTrash() && !m_checking;
}

QString DuplicateSearch::refusalReason() const
{
    if (m_checking)
        return L("duplicates.checking");
    return m_state.editor().refusalReason();
}

bool DuplicateSearch::moveToTrash(const std::vector<NodeRef>& chosen)
{
    if (!canMoveToTrash() || !m_files)
        return false;
    NodeIdSet chosenIds;
    for (const NodeRef& file : chosen)
        if (file)
            chosenIds.insert(file->id());
    // The groups shown that hold chosen files, with the members they still have.
    QHash<QUuid, const DuplicateFinder::DuplicateGroup*> touched;
    for (const DuplicateFinder::DuplicateGroup& group : m_state.duplicateGroups())
        if (std::any_of(group.files.begin(), group.files.end(),
                        [&](const NodeRef& file) { return chosenIds.count(file->id()) != 0; }))
            touched.insert(group.id, &group);
    std::vector<Check> checks;
    for (std::size_t i = 0; i < m_groups.size() && !touched.isEmpty(); ++i) {
        const auto it = touched.constFind(m_ids[i]);
        if (it == touched.cend())
            continue;
        NodeIdSet present;
        for (const NodeRef& file : (*it)->files)
            present.insert(file->id());
        Check check{m_ids[i], {m_groups[i].hash, m_groups[i].size, {}}};
        for (const DuplicateFinder::Member& member : m_groups[i].members)
            if (present.count(m_files->id(member.file)))
                check.group.members.push_back(member);
        checks.push_back(std::move(check));
        touched.erase(it);
    }
    if (checks.empty())
        return false;

    m_checking = true;
    m_chosen = chosen;
    m_token = CancellationToken::create();
    const std::uint64_t generation = m_generation;
    QPointer<DuplicateSearch> self(this);
    m_work.start(m_token, [self, generation, checks = std::move(checks), files = m_files,
                           finder = m_state.duplicateFinder()](const CancellationToken& token) {
        std::vector<QUuid> ids;
        auto rechecks = std::make_shared<std::vector<DuplicateFinder::Recheck>>();
        for (const Check& check : checks) {
            if (token.isCancelled())
                return;
            ids.push_back(check.id);
            rechecks->push_back(finder.recheck(*files, check.group, token));
        }
        postToUiThread([self, generation, ids, rechecks] {
            if (self)
                self->finishCheck(generation, ids, *rechecks);
        });
    });
    Q_EMIT policyChanged();
    return true;
}

void DuplicateSearch::finishCheck(std::uint64_t generation, const std::vector<QUuid>& ids,
                                  const std::vector<DuplicateFinder::Recheck>& rechecks)
{
    if (generation != m_generation)
        return; // the result or the search went meanwhile: nothing moves
    const std::vector<NodeRef> chosen = std::move(m_chosen);
    m_chosen.clear();
    m_checking = false;
    m_token = {};
    const bool cancelled = std::any_of(rechecks.begin(), rechecks.end(),
                                       [](const auto& recheck) { return recheck.cancelled; });
    if (!cancelled) {
        bool regrouped = false;
        for (std::size_t i = 0; i < ids.size() && i < rechecks.size(); ++i) {
            if (!rechecks[i].changed)
                continue;
            regroup(ids[i], rechecks[i].groups);
            regrouped = true;
        }
        if (regrouped)
            publishGroups();
        move(chosen);
    }
    Q_EMIT policyChanged();
}

void DuplicateSearch::regroup(const QUuid& id, std::vector<DuplicateFinder::ContentGroup> groups)
{
    const auto it = std::find(m_ids.begin(), m_ids.end(), id);
    if (it == m_ids.end())
        return;
    const std::ptrdiff_t at = it - m_ids.begin();
    if (groups.empty()) {
        m_groups.erase(m_groups.begin() + at);
        m_ids.erase(it);
        return;
    }
    // The first part keeps the group's place and id; the others follow it.
    m_groups[std::size_t(at)] = std::move(groups.front());
    for (std::size_t k = 1; k < groups.size(); ++k) {
        m_groups.insert(m_groups.begin() + at + std::ptrdiff_t(k), std::move(groups[k]));
        m_ids.insert(m_ids.begin() + at + std::ptrdiff_t(k), QUuid::createUuid());
    }
}

void DuplicateSearch::move(const std::vector<NodeRef>& chosen)
{
    const std::shared_ptr<ScanResult>& result = m_state.scanResult();
    NodeIdSet chosenIds;
    std::int64_t inResult = 0;
    for (const NodeRef& file : chosen) {
        if (!file || !result || !file->isWithin(*result->rootNode()))
            continue; // left meanwhile
        chosenIds.insert(file->id());
        ++inResult;
    }
    const DuplicateChoice::Split split = DuplicateChoice::split(m_state.duplicateGroups(), chosenIds);
    QStringList notes;
    if (split.keptGroups > 0)
        notes << L("duplicates.keptWhole %lld", qint64(split.keptGroups));
    // Chosen files that are no longer a copy of anything once checked stay where they are.
    if (const std::int64_t unique = inResult - split.chosenInGroups; unique > 0)
        notes << L("duplicates.noLongerCopies %lld", qint64(unique));
    const QString note = notes.join(QStringLiteral(" \u00b7 "));
    if (split.toMove.empty()) {
        notes.prepend(L("duplicates.nothingMoved"));
        m_state.showToast(notes.join(QStringLiteral(" \u00b7 ")));
        return;
    }
    if (!m_state.editor().moveToTrash(split.toMove, note))
        m_state.showToast(L("duplicates.nothingMoved") + QStringLiteral(" \u00b7 ") +
                          m_state.editor().refusalReason());
}

} // namespace plenvo
