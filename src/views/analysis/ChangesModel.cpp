#include "ChangesModel.h"

#include "FileListModel.h" // NodeRef as a QVariant

#include "utils/DisplayText.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace plenvo {

namespace {

using Index = ScanComparison::Index;
constexpr Index kNone = ScanComparison::kNone;

bool has(const ScanComparison::Tally& tally)
{
    return tally.files > 0 || tally.bytes != 0;
}

// A row's identity within its folder: its name, and whether it is gone (a gone file and a new
// folder may share a name).
std::string identity(bool gone, std::string_view name)
{
    std::string key(1, gone ? 'g' : 'c');
    key.append(name);
    return key;
}

// A folder's entries as a comparison orders items: folders first, then the largest.
std::vector<NodeRef> ordered(FileNode::Children children)
{
    std::vector<NodeRef> nodes;
    nodes.reserve(children.size());
    for (const FileNode* child : children)
        nodes.emplace_back(child);
    std::sort(nodes.begin(), nodes.end(), [](const NodeRef& a, const NodeRef& b) {
        if (a->isDirectory() != b->isDirectory())
            return a->isDirectory();
        if (a->cachedSize() != b->cachedSize())
            return a->cachedSize() > b->cachedSize();
        return a->nameBytes() < b->nameBytes();
    });
    return nodes;
}

} // namespace

ChangesModel::ChangesModel(QObject* parent) : QAbstractListModel(parent) {}

void ChangesModel::setComparison(std::shared_ptr<const ScanComparison> comparison, bool keepPlace)
{
    m_comparison = std::move(comparison);
    if (keepPlace && m_comparison) {
        const std::size_t depth = m_location.size();
        m_level = resolve();
        sync();
        if (m_location.size() != depth)
            Q_EMIT folderChanged();
        return;
    }
    m_location.clear();
    reload();
}

void ChangesModel::setFilters(unsigned filters)
{
    if (filters == m_filters)
        return;
    m_filters = filters;
    sync();
}

ChangesModel::Level ChangesModel::resolve()
{
    Level level;
    if (!m_comparison)
        return level;
    level.index = ScanComparison::root();
    std::size_t depth = 0;
    for (; depth < m_location.size(); ++depth) {
        const Step& step = m_location[depth];
        Level next;
        if (level.index != kNone) {
            for (const Index child : m_comparison->children(level.index)) {
                const ScanComparison::Item& item = m_comparison->item(child);
                if ((item.kind == Kind::gone) != step.gone ||
                    m_comparison->name(child) != step.name || !item.isDirectory)
                    continue;
                // What a new folder holds is its entry's in the tree.
                if (item.kind == Kind::appeared && !item.holdsMove && item.node)
                    next.node = item.node;
                else
                    next.index = child;
                break;
            }
        } else if (!step.gone) {
            for (const FileNode* child : level.node->children())
                if (child->isDirectory() && child->nameBytes() == step.name)
                    next.node = NodeRef(child);
        }
        if (next.index == kNone && !next.node)
            break; // no longer there: the nearest folder above it is shown
        level = next;
    }
    m_location.resize(depth);
    return level;
}

bool ChangesModel::passes(const ScanComparison::Item& item) const
{
    if (m_filters == allFilters || item.kind == Kind::moved)
        return true;
    return ((m_filters & grownFilter) && has(item.grown)) ||
           ((m_filters & shrunkFilter) && has(item.shrunk)) ||
           ((m_filters & appearedFilter) && (has(item.appeared) || item.kind == Kind::appeared)) ||
           ((m_filters & goneFilter) && (has(item.gone) || item.kind == Kind::gone));
}

std::vector<ChangesModel::Row> ChangesModel::wantedRows() const
{
    std::vector<Row> rows;
    if (m_level.index != kNone) {
        for (const Index child : m_comparison->children(m_level.index)) {
            const ScanComparison::Item& item = m_comparison->item(child);
            if (passes(item))
                rows.push_back({{std::string(m_comparison->name(child)), item.kind == Kind::gone},
                                child,
                                {}});
        }
    } else if (m_level.node && (m_filters & appearedFilter)) {
        for (NodeRef& node : ordered(m_level.node->children())) {
            std::string name(node->nameBytes());
            rows.push_back({{std::move(name), false}, kNone, std::move(node)});
        }
    }
    return rows;
}

void ChangesModel::reload()
{
    beginResetModel();
    m_level = resolve();
    m_rows = m_comparison ? wantedRows() : std::vector<Row>();
    endResetModel();
    Q_EMIT folderChanged();
    Q_EMIT synced();
}

void ChangesModel::sync()
{
    std::vector<Row> wanted = m_comparison ? wantedRows() : std::vector<Row>();
    std::unordered_set<std::string> wantedKeys;
    for (const Row& row : wanted)
        wantedKeys.insert(identity(row.key.gone, row.key.name));

    // Rows no longer wanted go, each run at once, from the bottom.
    for (int row = int(m_rows.size()) - 1; row >= 0;) {
        const auto stays = [&](int r) {
            const Step& key = m_rows[std::size_t(r)].key;
            return wantedKeys.count(identity(key.gone, key.name)) != 0;
        };
        if (stays(row)) {
            --row;
            continue;
        }
        int first = row;
        while (first > 0 && !stays(first - 1))
            --first;
        beginRemoveRows({}, first, row);
        m_rows.erase(m_rows.begin() + first, m_rows.begin() + row + 1);
        endRemoveRows();
        row = first - 1;
    }

    // The rows left move to their new places; the new ones are inserted where they belong.
    std::unordered_map<std::string, std::size_t> shown; // key -> row, for the rows from i on
    const auto indexShown = [&](std::size_t from) {
        shown.clear();
        for (std::size_t r = from; r < m_rows.size(); ++r)
            shown.emplace(identity(m_rows[r].key.gone, m_rows[r].key.name), r);
    };
    indexShown(0);
    for (std::size_t i = 0; i < wanted.size();) {
        const std::string key = identity(wanted[i].key.gone, wanted[i].key.name);
        const auto found = shown.find(key);
        if (found != shown.end() && found->second == i) {
            m_rows[i] = std::move(wanted[i]); // the same entry, from the new comparison
            ++i;
            continue;
        }
        if (found != shown.end()) {
            const int from = int(found->second);
            beginMoveRows({}, from, from, {}, int(i));
            Row moving = std::move(m_rows[std::size_t(from)]);
            m_rows.erase(m_rows.begin() + from);
            m_rows.insert(m_rows.begin() + std::ptrdiff_t(i), std::move(moving));
            endMoveRows();
            indexShown(i);
            continue;
        }
        std::size_t end = i;
        while (end < wanted.size() &&
               !shown.count(identity(wanted[end].key.gone, wanted[end].key.name)))
            ++end;
        beginInsertRows({}, int(i), int(end) - 1);
        m_rows.insert(m_rows.begin() + std::ptrdiff_t(i),
                      std::make_move_iterator(wanted.begin() + std::ptrdiff_t(i)),
                      std::make_move_iterator(wanted.begin() + std::ptrdiff_t(end)));
        endInsertRows();
        i = end;
        indexShown(i);
    }
    if (!m_rows.empty())
        Q_EMIT dataChanged(index(0), index(int(m_rows.size()) - 1));
    Q_EMIT synced();
}

bool ChangesModel::open(int row)
{
    if (row < 0 || std::size_t(row) >= m_rows.size() || !canOpen(m_rows[std::size_t(row)]))
        return false;
    m_location.push_back(m_rows[std::size_t(row)].key);
    reload();
    return true;
}

void ChangesModel::goUp()
{
    if (m_location.empty())
        return;
    m_location.pop_back();
    reload();
}

void ChangesModel::goHome()
{
    if (m_location.empty())
        return;
    m_location.clear();
    reload();
}

QString ChangesModel::folderName() const
{
    if (!m_comparison)
        return {};
    if (m_location.empty())
        return DisplayText::fromBytes(m_comparison->name(ScanComparison::root()));
    return DisplayText::fromBytes(m_location.back().name);
}

std::int64_t ChangesModel::folderChange() const
{
    if (m_level.index != kNone)
        return m_comparison->item(m_level.index).change;
    return m_level.node ? m_level.node->cachedSize() : 0;
}

std::vector<std::string> ChangesModel::location() const
{
    std::vector<std::string> names;
    for (const Step& step : m_location)
        names.push_back(step.name);
    return names;
}

bool ChangesModel::canOpen(const Row& row) const
{
    if (row.node && row.index == kNone)
        return row.node->isDirectory() && row.node->childCount() > 0;
    const ScanComparison::Item& item = m_comparison->item(row.index);
    if (!item.isDirectory)
        return false;
    if (item.kind == Kind::appeared && !item.holdsMove)
        return item.node && item.node->childCount() > 0;
    return !m_comparison->children(row.index).empty();
}

NodeRef ChangesModel::nodeAt(int row) const
{
    if (row < 0 || std::size_t(row) >= m_rows.size())
        return {};
    const Row& r = m_rows[std::size_t(row)];
    return r.index == kNone ? r.node : m_comparison->item(r.index).node;
}

std::vector<NodeRef> ChangesModel::nodes() const
{
    std::vector<NodeRef> nodes;
    for (int row = 0; row < int(m_rows.size()); ++row)
        if (NodeRef node = nodeAt(row))
            nodes.push_back(std::move(node));
    return nodes;
}

int ChangesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant ChangesModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row& row = m_rows[std::size_t(index.row())];
    if (row.index == kNone) { // inside a new folder: all of it is new
        const FileNode& node = *row.node;
        switch (role) {
        case Qt::DisplayRole:
            return node.name();
        case Qt::ToolTipRole:
            return node.path();
        case NodeRole:
            return QVariant::fromValue(row.node);
        case KindRole:
            return int(Kind::appeared);
        case ChangeRole:
        case NewSizeRole:
            return qint64(node.cachedSize());
        case OldSizeRole:
            return qint64(0);
        case IsFolderRole:
            return node.isDirectory();
        case CanOpenRole:
            return canOpen(row);
        default:
            return {};
        }
    }
    const ScanComparison::Item& item = m_comparison->item(row.index);
    switch (role) {
    case Qt::DisplayRole:
        return DisplayText::fromBytes(row.key.name);
    case Qt::ToolTipRole:
        return DisplayText::fromBytes(m_comparison->path(row.index));
    case NodeRole:
        return QVariant::fromValue(item.node);
    case KindRole:
        return int(item.kind);
    case ChangeRole:
        return qint64(item.change);
    case OldSizeRole:
        return qint64(item.oldSize);
    case NewSizeRole:
        return qint64(item.newSize);
    case IsFolderRole:
        return item.isDirectory;
    case CanOpenRole:
        return canOpen(row);
    case OldPathRole:
        if (item.kind == Kind::moved)
            return DisplayText::fromBytes(m_comparison->oldPath(row.index));
        return {};
    default:
        return {};
    }
}

} // namespace plenvo
