#include "FileListModel.h"

#include "models/FileCategory.h"

#include <algorithm>

namespace plenvo {

FileListModel::FileListModel(QObject* parent) : QAbstractListModel(parent) {}

int FileListModel::shownCount() const
{
    if (!m_files)
        return 0;
    return int(std::min<std::size_t>(m_files->size(), std::size_t(std::max(0, m_limit))));
}

void FileListModel::appendIds(int from, int to)
{
    for (int row = from; row < to; ++row)
        m_ids.push_back((*m_files)[std::size_t(row)]->id());
}

void FileListModel::setFiles(const std::vector<NodeRef>* files, int limit)
{
    beginResetModel();
    m_files = files;
    m_limit = limit;
    m_ids.clear();
    const int count = shownCount();
    m_ids.reserve(std::size_t(count));
    appendIds(0, count);
    endResetModel();
}

void FileListModel::setLimit(int limit)
{
    const int before = int(m_ids.size());
    m_limit = limit;
    const int after = shownCount();
    if (after > before) {
        beginInsertRows({}, before, after - 1);
        appendIds(before, after);
        endInsertRows();
    } else if (after < before) {
        beginRemoveRows({}, after, before - 1);
        m_ids.resize(std::size_t(after));
        endRemoveRows();
    }
}

NodeRef FileListModel::nodeAt(int row) const
{
    if (!m_files || row < 0 || std::size_t(row) >= m_ids.size() ||
        std::size_t(row) >= m_files->size())
        return {};
    const NodeRef& node = (*m_files)[std::size_t(row)];
    return node && node->id() == m_ids[std::size_t(row)] ? node : NodeRef();
}

std::vector<NodeRef> FileListModel::shownFiles() const
{
    std::vector<NodeRef> files;
    files.reserve(m_ids.size());
    for (int row = 0; row < int(m_ids.size()); ++row)
        if (NodeRef node = nodeAt(row))
            files.push_back(std::move(node));
    return files;
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
    return parent.isValid() ? 0 : int(m_ids.size());
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
