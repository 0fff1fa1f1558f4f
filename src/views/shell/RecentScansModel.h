#pragma once

#include "services/ScanHistory.h"

#include <QAbstractListModel>

#include <vector>

namespace plenvo {

class HistoryKeeper;

// The latest kept scans (HistoryKeeper), newest first, at most kShown, for the welcome screen:
// the folder, the date and the total of each. The rows follow the history's list with row
// removals and insertions, never a reset.
class RecentScansModel : public QAbstractListModel {
    Q_OBJECT

public:
    static constexpr int kShown = 5;

    enum Role {
        FileRole = Qt::UserRole + 1, // QByteArray: the kept export, raw bytes
        FolderRole,                  // QString: the scanned folder, for display
        DateRole,                    // qint64: ms since the epoch
        TotalRole,                   // qint64: bytes
    };

    explicit RecentScansModel(HistoryKeeper& history, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void sync();

    HistoryKeeper& m_history;
    std::vector<ScanHistory::Scan> m_rows;
};

} // namespace plenvo
