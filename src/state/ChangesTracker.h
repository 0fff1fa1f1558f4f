#pragma once

#include "models/ScanComparison.h"
#include "services/BackgroundWork.h"
#include "services/ScanHistory.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plenvo {

class AppState;

// What changed in the current result's folder since an earlier scan of it: by default the
// newest kept scan of the folder made before the result (HistoryKeeper), or any other kept scan
// or export the user chooses.
//
// The comparison (ScanComparer) runs in the background while someone watches it (the Changes
// view), holding the tree still meanwhile (AppState::holdTree). After each change of the result
// (a move to the Trash, an undo, entries deleted elsewhere) it is made again; until then the
// previous one stays, marked as not up to date. A new result starts over with its own earlier
// scan.
class ChangesTracker : public QObject {
    Q_OBJECT

public:
    enum class Status {
        none,      // nothing to compare with (or nobody has watched yet)
        comparing, // a comparison runs (comparison() may still hold the previous one)
        ready,
        failed, // error() says why
    };

    // The scan the result is compared with.
    struct Earlier {
        std::string file;                   // a kept scan or an export, raw bytes
        std::optional<std::int64_t> date;   // when known before comparing (kept scans)
        std::optional<std::int64_t> total;  // bytes, likewise
        bool kept = false;                  // one of the history's
        friend bool operator==(const Earlier&, const Earlier&) = default;
    };

    ChangesTracker(AppState& state, BackgroundWork& work);
    ~ChangesTracker() override;

    // Whether the sidebar offers the changes: the result has a kept scan of its folder from
    // before it, or a file was chosen to compare it with; never for a stopped scan.
    bool isAvailable() const;
    // The kept scans of the result's folder from before it, newest first.
    std::vector<ScanHistory::Scan> earlierScans() const;
    const std::optional<Earlier>& earlier() const { return m_earlier; }
    // Compares the result with this kept scan or export from now on (until a new result).
    void compareWith(const std::string& file);

    // While watched, the comparison is made, and made again after each change of the result.
    void setWatched(bool watched);
    bool isWatched() const { return m_watchers > 0; }

    Status status() const { return m_status; }
    QString error() const { return m_error; }
    // The latest comparison of the current result with earlier(); null before the first.
    const std::shared_ptr<const ScanComparison>& comparison() const { return m_comparison; }
    // Whether comparison() is of the result as it is now.
    bool isUpToDate() const { return m_comparison && !m_stale; }

Q_SIGNALS:
    void availabilityChanged();
    // earlier() changed (the comparison will follow).
    void earlierChanged();
    void statusChanged();
    // A new comparison(); `sameScans` when it compares the same two scans as the one before
    // (the result was changed meanwhile), so that what shows it can keep its place.
    void comparisonChanged(bool sameScans);

private:
    void resultReplaced();
    void scansListed();
    void resultEdited();
    void setEarlier(std::optional<Earlier> earlier);
    std::optional<Earlier> defaultEarlier() const;
    void compareIfWanted();
    struct Run; // what one comparison was asked to compare
    void finishComparing(const Run& run, std::shared_ptr<const ScanComparison> comparison,
                         std::optional<QString> error);
    void setStatus(Status status, QString error = {});
    void updateAvailability();

    AppState& m_state;
    BackgroundWork& m_work;
    std::optional<Earlier> m_earlier;
    bool m_chosen = false; // earlier() was chosen by the user
    int m_watchers = 0;
    Status m_status = Status::none;
    QString m_error;
    std::shared_ptr<const ScanComparison> m_comparison;
    bool m_stale = true; // m_comparison is not of the result as it is now (or there is none)
    bool m_available = false;
    bool m_running = false;
    std::uint64_t m_generation = 0; // of the comparison started last
    std::uint64_t m_revision = 0;   // bumped when what is to be compared changes
    std::uint64_t m_runningRevision = 0;
    std::uint64_t m_pair = 0;       // bumped when the result or earlier() changes
    std::uint64_t m_shownPair = 0;  // the pair m_comparison compares
    CancellationToken m_token;
};

} // namespace plenvo
