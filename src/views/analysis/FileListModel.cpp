#include "FileListModel.h"

#include "ResultEditor.h"
#include "models/FileCategory.h"

#include <algorithm>
#include <unordered_set>

namespace plenvo {

FileListModel::FileListModel(ResultEditor* edits, QObject* parent) : QAbstractListModel(parent)
{
    if (edits) {
        connect(edits, &ResultEditor::removed, this, &FileListModel::sync);
        connect(edits, &ResultEditor::restored, this, &FileListModel::sync);
    }
}

std::size_t FileListModel::wantedCount() const
{
    if (!m_files)
        return 0;
    return std::min<std::size_t>(m_files->size(), std::size_t(std::max(0, m_limit)));
}

void FileListModel::setFiles(const std::vector<NodeRef>* files, int limit)
{
    beginResetModel();
    m_files = files;
    m_limit = limit;
    m_rows.assign(files ? files->begin() : m_rows.end(),
                  files ? files->begin() + std::ptrdiff_t(wantedCount()) : m_rows.end());
    endResetModel();
}

void FileListModel::setLimit(int limit)
{
    m_limit = limit;
    sync();
}

void FileListModel::sync()
{
    m_syncing = true;
    const std::size_t count = wantedCount();
    std::unordered_set<const FileNode*> wanted;
    wanted.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        wanted.insert((*m_files)[i].get());

    // Rows whose files left the shown part of the list go, each run at once, from the bottom.
    for (int row = int(m_rows.size()) - 1; row >= 0;) {
        if (wanted.count(m_rows[std::size_t(row)].get())) {
            --row;
            continue;
        }
        int first = row;
        while (first > 0 && !wanted.count(m_rows[std::size_t(first - 1)].get()))
            --first;
        beginRemoveRows({}, first, row);
        m_rows.erase(m_rows.begin() + first, m_rows.begin() + row + 1);
        endRemoveRows();
        row = first - 1;
    }

    // The rows left are in the list's order (the list keeps its order when it changes in
    // place); the files new to the shown part get rows where the list has them.
    std::unordered_set<const FileNode*> shown;
    shown.reserve(m_rows.size());
    for (const NodeRef& node : m_rows)
        shown.insert(node.get());
    for (std::size_t i = 0; i < count;) {
        if (i < m_rows.size() && m_rows[i].get() == (*m_files)[i].get()) {
            ++i;
            continue;
        }
        if (shown.count((*m_files)[i].get())) {
            // Out of order (the list was reordered): the row goes and comes back below.
            const auto it = std::find(m_rows.begin() + std::ptrdiff_t(i), m_rows.end(),
                                      (*m_files)[i]);
            const int row = int(it - m_rows.begin());
            beginRemoveRows({}, row, row);
            shown.erase(it->get());
            m_rows.erase(it);
            endRemoveRows();
            continue;
        }
        std::size_t end = i;
        while (end < count && !shown.count((*m_files)[end].get()))
            ++end;
        beginInsertRows({}, int(i), int(end) - 1);
        m_rows.insert(m_rows.begin() + std::ptrdiff_t(i), m_files->begin() + std::ptrdiff_t(i),
                      m_files->begin() + std::ptrdiff_t(end));
        for (std::size_t k = i; k < end; ++k)
            shown.insert(m_rows[k].get());
        endInsertRows();
        i = end;
    }
    m_syncing = false;
    Q_EMIT synced();
}

NodeRef FileListModel::nodeAt(int row) const
{
    if (row < 0 || std::size_t(row) >= m_rows.size())
        return {};
    return m_rows[std::size_t(row)];
}

int FileListModel::rowOf(const FileNode* node) const
{
    const auto it = std::find_if(m_rows.begin(), m_rows.end(),
                                 [&](const NodeRef& row) { return row.get() == node; });
    return it == m_rows.end() ? -1 : int(it - m_rows.begin());
}

QString FileListModel::containingFolder(const FileNode& node)
{
    if (const FileNode* parent = node.parent())
        return parent->path();
    const QString path = node.path();
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash > 0 ? path.left(slash) : QStringLiteral("/");
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    const NodeRef node = index.isValid() ? nodeAt(index.row()) : NodeRef();
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return node->name();
    case Qt::ToolTipRole:
        return node->path();
    case NodeRole:
        return QVariant::fromValue(node);
    case FolderRole:
        return containingFolder(*node);
    case SizeRole:
        return qint64(node->fileSize());
    case DateRole:
        if (const auto date = node->modificationDate())
            return qint64(*date);
        return {};
    case CategoryRole:
        return int(FileCategory::of(*node).value());
    default:
        return {};
    }
}

} // namespace plenvo
