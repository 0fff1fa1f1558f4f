#pragma once

#include "services/BackgroundWork.h"
#include "services/ScanHistory.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace plenvo {

class AppState;
class ScanResult;

// The history of scans as the application keeps it (ScanHistory on disk): every finished scan
// of a folder on this machine is kept in the background, unless the user turned that off (a
// setting remembered between launches, on at first); the list of kept scans, read in the
// background, is what the welcome screen and the comparison with an earlier scan offer.
//
// Keeping a scan reads its tree on a worker and holds it still meanwhile (AppState::holdTree):
// a change of the result cancels the save, lands, and the scan is saved again afterwards, as it
// stands then. A save that fails (a full disk, a folder that cannot be written) is skipped and
// said once in a toast; the next failures stay quiet until a save succeeds again. Nothing here
// ever waits on the disk on the user-interface thread.
class HistoryKeeper : public QObject {
    Q_OBJECT

public:
    // The settings key of the switch.
    static constexpr const char* kKeepKey = "history/keepScans";

    HistoryKeeper(AppState& state, BackgroundWork& work, ScanHistory store);
    ~HistoryKeeper() override;

    const ScanHistory& store() const { return m_store; }

    // Whether finished scans are kept. Remembered (QSettings); turning it off stops a save
    // under way and leaves what was kept (see removeAll()).
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    // The kept scans, newest first, as last listed; empty until the first list has been read.
    const std::vector<ScanHistory::Scan>& scans() const { return m_scans; }
    bool isListed() const { return m_listed; }
    // The kept scans of the folder of `result` made before it, newest first (the result
    // itself, when it was opened from the history, left out).
    std::vector<ScanHistory::Scan> earlierScansOf(const ScanResult& result) const;
    // Whether `file` is one of the kept scans.
    bool isKept(const std::string& file) const;

    // Keeps `result`, a finished scan of a folder on this machine, in the background (after
    // the scans waiting before it). Nothing when the history is off or the result was opened
    // from a file.
    void keep(const std::shared_ptr<ScanResult>& result);
    // Whether a scan is being kept, or waits to be.
    bool isSaving() const { return m_saving || !m_queue.empty(); }

    // Removes every kept scan in the background (a save under way is stopped first); a toast
    // says how many went.
    void removeAll();
    // Reads the list of kept scans again, in the background.
    void refresh();

Q_SIGNALS:
    void scansChanged();
    void enabledChanged();
    void savingChanged();

private:
    void startNextSave();
    void finishSave(const ScanHistory::SaveOutcome& outcome, std::uint64_t hold);
    void startRemoval();
    void finishRemoval(const ScanHistory::RemoveOutcome& outcome);
    void stopSaving();

    AppState& m_state;
    BackgroundWork& m_work;
    ScanHistory m_store;
    bool m_enabled = true;
    std::vector<ScanHistory::Scan> m_scans;
    bool m_listed = false;
    std::uint64_t m_listGeneration = 0;
    // The scans waiting to be kept, oldest first; the first one is being saved while m_saving.
    std::deque<std::shared_ptr<ScanResult>> m_queue;
    bool m_saving = false;
    CancellationToken m_saveToken;
    bool m_failureShown = false;
    bool m_removeAfterSave = false;
};

} // namespace plenvo
