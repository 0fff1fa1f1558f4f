#include "ChangesTracker.h"

#include "AppState.h"
#include "HistoryKeeper.h"
#include "UiThread.h"
#include "models/ScanResult.h"
#include "services/ScanComparer.h"

#include <QPointer>

namespace plenvo {

struct ChangesTracker::Run {
    std::uint64_t generation;
    std::uint64_t revision;
    std::uint64_t pair;
    std::uint64_t hold;
};

ChangesTracker::ChangesTracker(AppState& state, BackgroundWork& work)
    : QObject(&state), m_state(state), m_work(work)
{
    connect(&state, &AppState::scanResultChanged, this, &ChangesTracker::resultReplaced);
    connect(&state.history(), &HistoryKeeper::scansChanged, this, &ChangesTracker::scansListed);
    connect(&state.editor(), &ResultEditor::removed, this, &ChangesTracker::resultEdited);
    connect(&state.editor(), &ResultEditor::restored, this, &ChangesTracker::resultEdited);
    // A comparison waits while a move runs: its outcome would stop it on landing.
    connect(&state.editor(), &ResultEditor::policyChanged, this, &ChangesTracker::compareIfWanted);
    connect(&state, &AppState::treeFree, this, &ChangesTracker::compareIfWanted);
    resultReplaced();
}

ChangesTracker::~ChangesTracker()
{
    m_token.cancel();
}

std::vector<ScanHistory::Scan> ChangesTracker::earlierScans() const
{
    const std::shared_ptr<ScanResult>& result = m_state.scanResult();
    return result ? m_state.history().earlierScansOf(*result) : std::vector<ScanHistory::Scan>();
}

bool ChangesTracker::isAvailable() const
{
    // A stopped scan would show as gone all that it did not read.
    const auto& result = m_state.scanResult();
    return result && !result->wasStopped() && (m_chosen || !earlierScans().empty());
}

void ChangesTracker::updateAvailability()
{
    const bool available = isAvailable();
    if (available == m_available)
        return;
    m_available = available;
    Q_EMIT availabilityChanged();
}

std::optional<ChangesTracker::Earlier> ChangesTracker::defaultEarlier() const
{
    const std::vector<ScanHistory::Scan> scans = earlierScans();
    if (scans.empty())
        return std::nullopt;
    const ScanHistory::Scan& newest = scans.front();
    return Earlier{newest.file, newest.scanDate, newest.totalSize, true};
}

void ChangesTracker::resultReplaced()
{
    m_token.cancel();
    m_running = false;
    m_chosen = false;
    m_earlier.reset();
    ++m_pair;
    ++m_revision;
    m_stale = true;
    if (m_comparison) {
        m_comparison.reset();
        Q_EMIT comparisonChanged(false);
    }
    setStatus(Status::none);
    setEarlier(defaultEarlier());
    updateAvailability();
}

void ChangesTracker::scansListed()
{
    // A kept scan that was chosen and is gone from the history gives way to the default.
    if (m_chosen && m_earlier && m_earlier->kept && !m_state.history().isKept(m_earlier->file))
        m_chosen = false;
    if (!m_chosen)
        setEarlier(defaultEarlier());
    updateAvailability();
}

void ChangesTracker::compareWith(const std::string& file)
{
    if (!m_state.scanResult())
        return;
    Earlier earlier{file, std::nullopt, std::nullopt, false};
    for (const ScanHistory::Scan& scan : m_state.history().scans())
        if (scan.file == file)
            earlier = Earlier{file, scan.scanDate, scan.totalSize, true};
    m_chosen = true;
    setEarlier(earlier);
    updateAvailability();
}

void ChangesTracker::setEarlier(std::optional<Earlier> earlier)
{
    if (earlier == m_earlier)
        return;
    m_earlier = std::move(earlier);
    ++m_pair;
    ++m_revision;
    m_stale = true;
    if (!m_earlier) {
        m_token.cancel();
        m_running = false;
        if (m_comparison) {
            m_comparison.reset();
            Q_EMIT comparisonChanged(false);
        }
        setStatus(Status::none);
    }
    Q_EMIT earlierChanged();
    compareIfWanted();
}

void ChangesTracker::resultEdited()
{
    ++m_revision;
    m_stale = true;
    Q_EMIT statusChanged(); // no longer up to date
    compareIfWanted();
}

void ChangesTracker::setWatched(bool watched)
{
    m_watchers += watched ? 1 : -1;
    compareIfWanted();
}

void ChangesTracker::setStatus(Status status, QString error)
{
    if (status == m_status && error == m_error)
        return;
    m_status = status;
    m_error = std::move(error);
    Q_EMIT statusChanged();
}

void ChangesTracker::compareIfWanted()
{
    const std::shared_ptr<ScanResult> result = m_state.scanResult();
    if (!isWatched() || !m_stale || !result || !m_earlier || m_state.editor().isBusy() ||
        m_state.areChangesWaiting())
        return;
    if (m_running && m_runningRevision == m_revision)
        return; // the comparison that runs is the one wanted
    m_token.cancel();
    m_token = CancellationToken::create();
    m_running = true;
    m_runningRevision = m_revision;
    const Run run{++m_generation, m_revision, m_pair, m_state.holdTree(result, m_token)};
    const ScanTree tree{result->rootNode(), result->facts(), result->rootPath(),
                        result->scanDate()};
    setStatus(Status::comparing);
    QPointer<ChangesTracker> self(this);
    m_work.start(m_token, [self, run, tree, file = m_earlier->file](const CancellationToken& token) {
        ScanComparer::Outcome outcome = ScanComparer::compareWithExport(file, tree, {}, token);
        postToUiThread([self, run, outcome = std::move(outcome)] {
            if (!self)
                return;
            using S = ScanComparer::Outcome::Status;
            std::optional<QString> error;
            if (outcome.status == S::failed)
                error = AppState::importErrorText(outcome.error.kind);
            self->finishComparing(run, outcome.status == S::completed ? outcome.comparison : nullptr,
                                  error);
        });
    });
}

void ChangesTracker::finishComparing(const Run& run,
                                     std::shared_ptr<const ScanComparison> comparison,
                                     std::optional<QString> error)
{
    const bool latest = run.generation == m_generation;
    if (latest) {
        m_running = false;
        if (comparison) {
            const bool sameScans = m_comparison && m_shownPair == run.pair;
            m_comparison = std::move(comparison);
            m_shownPair = run.pair;
            m_stale = run.revision != m_revision;
            setStatus(Status::ready);
            Q_EMIT comparisonChanged(sameScans);
        } else if (error) {
            m_comparison.reset();
            m_stale = run.revision != m_revision; // not tried again until something changes
            setStatus(Status::failed, *error);
            Q_EMIT comparisonChanged(false);
        }
        // Cancelled: for a change of the result, which lands below and asks for another.
    }
    // Last: a change waiting for the tree lands here.
    m_state.releaseTree(run.hold);
    if (latest)
        compareIfWanted();
}

} // namespace plenvo
