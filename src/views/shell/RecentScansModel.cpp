#include "RecentScansModel.h"

#include "HistoryKeeper.h"
#include "utils/DisplayText.h"

#include <algorithm>

namespace plenvo {

RecentScansModel::RecentScansModel(HistoryKeeper& history, QObject* parent)
    : QAbstractListModel(parent), m_history(history)
{
    connect(&history, &HistoryKeeper::scansChanged, this, &RecentScansModel::sync);
    sync();
}

void RecentScansModel::sync()
{
    const std::vector<ScanHistory::Scan>& all = m_history.scans();
    const std::vector<ScanHistory::Scan> wanted(
        all.begin(), all.begin() + std::min<std::ptrdiff_t>(kShown, std::ptrdiff_t(all.size())));
    const auto isWanted = [&](const ScanHistory::Scan& scan) {
        return std::any_of(wanted.begin(), wanted.end(),
                           [&](const ScanHistory::Scan& w) { return w.file == scan.file; });
    };
    // Both lists are newest first: what went leaves, what came is inserted where it belongs.
    for (int row = int(m_rows.size()) - 1; row >= 0; --row) {
        if (isWanted(m_rows[std::size_t(row)]))
            continue;
        beginRemoveRows({}, row, row);
        m_rows.erase(m_rows.begin() + row);
        endRemoveRows();
    }
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        if (i < m_rows.size() && m_rows[i].file == wanted[i].file) {
            m_rows[i] = wanted[i];
            continue;
        }
        beginInsertRows({}, int(i), int(i));
        m_rows.insert(m_rows.begin() + std::ptrdiff_t(i), wanted[i]);
        endInsertRows();
    }
    if (!m_rows.empty())
        Q_EMIT dataChanged(index(0), index(int(m_rows.size()) - 1));
}

int RecentScansModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant RecentScansModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ScanHistory::Scan& scan = m_rows[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case FolderRole:
        return DisplayText::fromBytes(scan.rootPath);
    case FileRole:
        return QByteArray::fromStdString(scan.file);
    case DateRole:
        return qint64(scan.scanDate);
    case TotalRole:
        return qint64(scan.totalSize);
    default:
        return {};
    }
}

} // namespace plenvo
