#include "FileSelectionModel.h"

#include "FileListModel.h"

#include <algorithm>

namespace plenvo {

FileSelectionModel::FileSelectionModel(FileListModel* model, QObject* parent)
    : QItemSelectionModel(model, parent), m_files(model)
{
}

std::vector<std::pair<int, int>> FileSelectionModel::selectedRowRanges() const
{
    std::vector<std::pair<int, int>> ranges;
    const QItemSelection selected = selection();
    ranges.reserve(std::size_t(selected.size()));
    for (const QItemSelectionRange& range : selected)
        if (range.isValid())
            ranges.emplace_back(range.top(), range.bottom());
    std::sort(ranges.begin(), ranges.end());
    // Merge what overlaps or touches, so that no row is counted twice.
    std::vector<std::pair<int, int>> merged;
    for (const auto& range : ranges) {
        if (!merged.empty() && range.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, range.second);
        else
            merged.push_back(range);
    }
    return merged;
}

std::vector<NodeRef> FileSelectionModel::selectedFiles() const
{
    std::vector<NodeRef> files;
    for (const auto& [first, last] : selectedRowRanges())
        for (int row = first; row <= last; ++row)
            if (NodeRef node = m_files->nodeAt(row))
                files.push_back(std::move(node));
    return files;
}

NodeIdSet FileSelectionModel::selectedIds() const
{
    NodeIdSet ids;
    for (const auto& [first, last] : selectedRowRanges())
        for (int row = first; row <= last; ++row)
            ids.insert(m_files->idAt(row));
    return ids;
}

FileSelectionModel::Summary FileSelectionModel::summary() const
{
    Summary summary;
    for (const auto& [first, last] : selectedRowRanges())
        for (int row = first; row <= last; ++row)
            if (const NodeRef node = m_files->nodeAt(row)) {
                ++summary.count;
                summary.size += node->fileSize();
            }
    return summary;
}

int FileSelectionModel::focusRow() const
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && isSelected(current))
        return current.row();
    const auto ranges = selectedRowRanges();
    return ranges.empty() ? -1 : ranges.front().first;
}

int FileSelectionModel::firstRowNotIn(const NodeIdSet& ids) const
{
    const int rows = m_files->rowCount();
    for (int row = 0; row < rows; ++row)
        if (!ids.count(m_files->idAt(row)))
            return row;
    return -1;
}

void FileSelectionModel::selectOnly(int row)
{
    if (row < 0) {
        clearSelection();
        return;
    }
    const QModelIndex index = m_files->index(row);
    setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    select(index, QItemSelectionModel::ClearAndSelect);
}

void FileSelectionModel::selectIds(const NodeIdSet& ids, const NodeId& current)
{
    QItemSelection wanted;
    int currentRow = -1;
    int firstRow = -1;
    const int rows = m_files->rowCount();
    for (int row = 0; row < rows && !ids.empty(); ++row) {
        const NodeId& id = m_files->idAt(row);
        if (!ids.count(id))
            continue;
        if (firstRow < 0)
            firstRow = row;
        if (id == current)
            currentRow = row;
        // Consecutive rows join the last range.
        if (!wanted.isEmpty() && wanted.back().bottom() == row - 1)
            wanted.back() = QItemSelectionRange(wanted.back().topLeft(), m_files->index(row));
        else
            wanted.append(QItemSelectionRange(m_files->index(row)));
    }
    const int focus = currentRow >= 0 ? currentRow : firstRow;
    if (focus >= 0)
        setCurrentIndex(m_files->index(focus), QItemSelectionModel::NoUpdate);
    select(wanted, QItemSelectionModel::ClearAndSelect);
}

} // namespace plenvo
