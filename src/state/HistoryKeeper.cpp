#include "HistoryKeeper.h"

#include "AppState.h"
#include "UiThread.h"
#include "models/ScanResult.h"
#include "models/ScanTree.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QPointer>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <utility>

namespace plenvo {

namespace {

// The application's settings: $XDG_CONFIG_HOME/plenvo/plenvo.conf, the location looked up each
// time (so that a private configuration folder set while running is the one used).
std::unique_ptr<QSettings> settings()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return std::make_unique<QSettings>(folder + QStringLiteral("/plenvo/plenvo.conf"),
                                       QSettings::IniFormat);
}

} // namespace

HistoryKeeper::HistoryKeeper(AppState& state, BackgroundWork& work, ScanHistory store)
    : QObject(&state), m_state(state), m_work(work), m_store(std::move(store)),
      m_enabled(settings()->value(QLatin1String(kKeepKey), true).toBool())
{
    // A change that waited for a save lands with the editor idle again: the scan is kept as it
    // stands then.
    connect(&state.editor(), &ResultEditor::policyChanged, this, &HistoryKeeper::startNextSave);
    connect(&state, &AppState::treeFree, this, &HistoryKeeper::startNextSave);
    refresh();
}

HistoryKeeper::~HistoryKeeper()
{
    m_saveToken.cancel();
}

void HistoryKeeper::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    settings()->setValue(QLatin1String(kKeepKey), enabled);
    if (!enabled)
        stopSaving();
    Q_EMIT enabledChanged();
}

std::vector<ScanHistory::Scan> HistoryKeeper::earlierScansOf(const ScanResult& result) const
{
    // ScanHistory names a folder as a scan of it does, without trailing slashes.
    const auto trimmed = [](std::string_view path) {
        while (path.size() > 1 && path.back() == '/')
            path.remove_suffix(1);
        return path;
    };
    std::vector<ScanHistory::Scan> earlier;
    for (const ScanHistory::Scan& scan : m_scans)
        if (trimmed(scan.rootPath) == trimmed(result.rootPath()) &&
            scan.scanDate < result.scanDate() && scan.file != result.openedFrom())
            earlier.push_back(scan);
    return earlier;
}

bool HistoryKeeper::isKept(const std::string& file) const
{
    return std::any_of(m_scans.begin(), m_scans.end(),
                       [&](const ScanHistory::Scan& scan) { return scan.file == file; });
}

void HistoryKeeper::keep(const std::shared_ptr<ScanResult>& result)
{
    if (!m_enabled || !result || result->isOpenedFromFile())
        return;
    m_queue.push_back(result);
    Q_EMIT savingChanged();
    startNextSave();
}

void HistoryKeeper::startNextSave()
{
    // One at a time; not while a move runs (it would land in the middle and stop the save) nor
    // while a change waits to land.
    if (m_saving || m_queue.empty() || m_state.editor().isBusy() || m_state.areChangesWaiting())
        return;
    const std::shared_ptr<ScanResult> result = m_queue.front();
    m_saving = true;
    m_saveToken = CancellationToken::create();
    const std::uint64_t hold = m_state.holdTree(result, m_saveToken);
    const ScanTree tree{result->rootNode(), result->facts(), result->rootPath(),
                        result->scanDate()};
    QPointer<HistoryKeeper> self(this);
    m_work.start(m_saveToken, [self, store = m_store, tree, hold](const CancellationToken& token) {
        const ScanHistory::SaveOutcome outcome = store.save(tree, token);
        postToUiThread([self, outcome, hold] {
            if (self)
                self->finishSave(outcome, hold);
        });
    });
}

void HistoryKeeper::finishSave(const ScanHistory::SaveOutcome& outcome, std::uint64_t hold)
{
    using Status = ScanHistory::SaveOutcome::Status;
    m_saving = false;
    // Stopped for a change of the result: saved again once it has landed. Otherwise done with.
    const bool retry = outcome.status == Status::cancelled && m_enabled && !m_removeAfterSave;
    if (!retry && !m_queue.empty())
        m_queue.pop_front();
    if (outcome.status == Status::failed) {
        if (!m_failureShown)
            m_state.showToast(L("history.saveFailed %@", outcome.error));
        m_failureShown = true;
    } else if (outcome.status == Status::saved) {
        m_failureShown = false;
        refresh();
    }
    Q_EMIT savingChanged();
    if (std::exchange(m_removeAfterSave, false))
        startRemoval();
    // Last: a change waiting for the tree lands here, and may start this again.
    m_state.releaseTree(hold);
    startNextSave();
}

void HistoryKeeper::stopSaving()
{
    m_queue.clear();
    m_saveToken.cancel();
    Q_EMIT savingChanged();
}

void HistoryKeeper::refresh()
{
    const std::uint64_t generation = ++m_listGeneration;
    QPointer<HistoryKeeper> self(this);
    m_work.start([self, store = m_store, generation](const CancellationToken&) {
        std::vector<ScanHistory::Scan> scans = store.scans();
        postToUiThread([self, scans = std::move(scans), generation]() mutable {
            if (!self || generation != self->m_listGeneration)
                return; // a newer list is on its way
            self->m_listed = true;
            self->m_scans = std::move(scans);
            Q_EMIT self->scansChanged();
        });
    });
}

void HistoryKeeper::removeAll()
{
    stopSaving();
    // What a save under way writes goes too: the removal starts once it has stopped.
    if (m_saving)
        m_removeAfterSave = true;
    else
        startRemoval();
}

void HistoryKeeper::startRemoval()
{
    QPointer<HistoryKeeper> self(this);
    m_work.start([self, store = m_store](const CancellationToken&) {
        const ScanHistory::RemoveOutcome outcome = store.removeAll();
        postToUiThread([self, outcome] {
            if (self)
                self->finishRemoval(outcome);
        });
    });
}

void HistoryKeeper::finishRemoval(const ScanHistory::RemoveOutcome& outcome)
{
    QString message = L("history.removed %@", FormatUtils::formatCount(outcome.removed));
    if (!outcome.error.isEmpty())
        message += QStringLiteral(" \u00b7 ") + outcome.error;
    m_state.showToast(message);
    refresh();
}

} // namespace plenvo
