#include "DuplicateGroupsModel.h"

#include "AppState.h"
#include "FileListModel.h"
#include "models/FileCategory.h"

#include <QHash>

#include <algorithm>
#include <unordered_set>

namespace plenvo {

namespace {

struct UuidHash {
    std::size_t operator()(const QUuid& id) const noexcept { return qHash(id); }
};

// Brings `rows` in line with the `count` wanted entries (`wantedKey(i)` their keys): rows whose
// key is no longer wanted go, each run of them in one `remove(first, last)` from the bottom up;
// wanted entries without a row get rows where they are wanted, each run in one
// `insert(at, end)` (entries at to end - 1). Rows keep their order; a row out of order goes
// and comes back where it is wanted.
template <typename Key, typename Hash, typename Row, typename RowKey, typename WantedKey,
          typename Remove, typename Insert>
void follow(const std::vector<Row>& rows, RowKey rowKey, std::size_t count, WantedKey wantedKey,
            Remove remove, Insert insert)
{
    std::unordered_set<Key, Hash> wanted;
    wanted.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        wanted.insert(wantedKey(i));
    for (int row = int(rows.size()) - 1; row >= 0;) {
        if (wanted.count(rowKey(rows[std::size_t(row)]))) {
            --row;
            continue;
        }
        int first = row;
        while (first > 0 && !wanted.count(rowKey(rows[std::size_t(first - 1)])))
            --first;
        remove(first, row);
        row = first - 1;
    }

    std::unordered_set<Key, Hash> shown;
    shown.reserve(rows.size());
    for (const Row& row : rows)
        shown.insert(rowKey(row));
    for (std::size_t i = 0; i < count;) {
        const Key key = wantedKey(i);
        if (i < rows.size() && rowKey(rows[i]) == key) {
            ++i;
            continue;
        }
        if (shown.count(key)) {
            std::size_t at = i;
            while (rowKey(rows[at]) != key)
                ++at;
            shown.erase(key);
            remove(int(at), int(at));
            continue;
        }
        std::size_t end = i;
        while (end < count && !shown.count(wantedKey(end)))
            ++end;
        insert(int(i), int(end));
        for (std::size_t k = i; k < end; ++k)
            shown.insert(wantedKey(k));
        i = end;
    }
}

const FileNode* fileKey(const NodeRef& file)
{
    return file.get();
}

} // namespace

DuplicateGroupsModel::DuplicateGroupsModel(AppState& state, QObject* parent)
    : QAbstractItemModel(parent), m_state(state)
{
    connect(&state, &AppState::duplicateGroupsChanged, this, &DuplicateGroupsModel::sync);
    sync();
}

DuplicateGroupsModel::~DuplicateGroupsModel() = default;

const DuplicateFinder::DuplicateGroup* DuplicateGroupsModel::sourceOf(const GroupRow& group) const
{
    // Between two syncs the rows are the first groups of the state, in its order; while one
    // runs they are looked for.
    const auto& groups = m_state.duplicateGroups();
    if (std::size_t(group.row) < groups.size() && groups[std::size_t(group.row)].id == group.id)
        return &groups[std::size_t(group.row)];
    const auto it = std::find_if(groups.begin(), groups.end(),
                                 [&](const auto& source) { return source.id == group.id; });
    return it == groups.end() ? nullptr : &*it;
}

const std::vector<NodeRef>& DuplicateGroupsModel::filesOf(const GroupRow& group) const
{
    static const std::vector<NodeRef> none;
    const DuplicateFinder::DuplicateGroup* source = sourceOf(group);
    return source ? source->files : none;
}

std::unique_ptr<DuplicateGroupsModel::GroupRow> DuplicateGroupsModel::makeGroup(std::size_t at) const
{
    const auto& source = m_state.duplicateGroups()[at];
    auto group = std::make_unique<GroupRow>();
    group->id = source.id;
    group->row = int(at);
    const std::size_t shown = std::min(group->limit, source.files.size());
    group->files.assign(source.files.begin(), source.files.begin() + std::ptrdiff_t(shown));
    group->copies = source.files.size();
    for (const NodeRef& file : source.files)
        group->marked += std::int64_t(isMarked(*file));
    return group;
}

void DuplicateGroupsModel::renumber(std::size_t from)
{
    for (std::size_t i = from; i < m_groups.size(); ++i)
        m_groups[i]->row = int(i);
}

void DuplicateGroupsModel::sync()
{
    const auto& groups = m_state.duplicateGroups();
    const std::size_t wanted = std::min(m_groupLimit, groups.size());
    m_syncing = true;

    // Another set of groups altogether (a new search): the rows start over.
    std::unordered_set<QUuid, UuidHash> shown;
    for (const auto& row : m_groups)
        shown.insert(row->id);
    const bool anotherSet =
        !m_groups.empty() && wanted > 0 &&
        std::none_of(groups.begin(), groups.begin() + std::ptrdiff_t(wanted),
                     [&](const auto& group) { return shown.count(group.id) != 0; });
    if (anotherSet) {
        beginResetModel();
        m_groups.clear();
        m_groupLimit = kGroupPage;
        m_marked.clear();
        for (std::size_t i = 0; i < std::min(m_groupLimit, groups.size()); ++i)
            m_groups.push_back(makeGroup(i));
        endResetModel();
    } else {
        follow<QUuid, UuidHash>(
            m_groups, [](const std::unique_ptr<GroupRow>& row) { return row->id; }, wanted,
            [&](std::size_t i) { return groups[i].id; },
            [&](int first, int last) {
                beginRemoveRows({}, first, last);
                m_groups.erase(m_groups.begin() + first, m_groups.begin() + last + 1);
                renumber(std::size_t(first));
                endRemoveRows();
            },
            [&](int at, int end) { insertGroups(at, end); });
        // The rows are the state's first groups again; their files follow.
        for (const auto& group : m_groups)
            syncFiles(*group);
    }
    recount();
    m_syncing = false;
    Q_EMIT synced();
}

void DuplicateGroupsModel::insertGroups(int at, int end)
{
    beginInsertRows({}, at, end - 1);
    std::vector<std::unique_ptr<GroupRow>> made;
    for (int i = at; i < end; ++i)
        made.push_back(makeGroup(std::size_t(i)));
    m_groups.insert(m_groups.begin() + at, std::make_move_iterator(made.begin()),
                    std::make_move_iterator(made.end()));
    renumber(std::size_t(at));
    endInsertRows();
}

void DuplicateGroupsModel::syncFiles(GroupRow& group)
{
    const std::vector<NodeRef>& files = filesOf(group);
    const std::size_t wanted = std::min(group.limit, files.size());
    const QModelIndex parent = createIndex(group.row, 0, nullptr);
    if (group.copies != files.size()) {
        group.copies = files.size();
        Q_EMIT dataChanged(parent, parent); // the copies and the space they waste
    }
    if (group.files.size() == wanted &&
        std::equal(group.files.begin(), group.files.end(), files.begin()))
        return;
    follow<const FileNode*, std::hash<const FileNode*>>(
        group.files, fileKey, wanted, [&](std::size_t i) { return files[i].get(); },
        [&](int first, int last) {
            beginRemoveRows(parent, first, last);
            group.files.erase(group.files.begin() + first, group.files.begin() + last + 1);
            endRemoveRows();
        },
        [&](int at, int end) {
            beginInsertRows(parent, at, end - 1);
            group.files.insert(group.files.begin() + at, files.begin() + at, files.begin() + end);
            endInsertRows();
        });
}

void DuplicateGroupsModel::recount()
{
    // One pass over the groups' files, by address: what is found is counted; marks of files
    // that left the groups go.
    ++m_counts;
    std::int64_t bytes = 0;
    std::int64_t whole = 0;
    std::size_t found = 0;
    const auto& groups = m_state.duplicateGroups();
    for (std::size_t g = 0; g < groups.size() && !m_marked.isEmpty(); ++g) {
        std::int64_t marked = 0;
        for (const NodeRef& file : groups[g].files) {
            const auto it = m_marked.find(file.get());
            if (it == m_marked.end())
                continue;
            ++marked;
            it->length = groups[g].fileSize;
            it->seen = m_counts;
        }
        found += std::size_t(marked);
        bytes += marked * groups[g].fileSize;
        whole += std::int64_t(marked == std::int64_t(groups[g].files.size()));
        if (g < m_groups.size())
            setMarkedCount(*m_groups[g], marked);
    }
    if (found < std::size_t(m_marked.size()))
        m_marked.removeIf([this](const auto& entry) { return entry.value().seen != m_counts; });
    if (m_marked.isEmpty())
        for (const auto& group : m_groups)
            setMarkedCount(*group, 0);
    m_markedBytes = bytes;
    m_wholeGroups = whole;
}

void DuplicateGroupsModel::setMarkedCount(GroupRow& group, std::int64_t marked)
{
    if (group.marked == marked)
        return;
    group.marked = marked;
    const QModelIndex row = createIndex(group.row, 0, nullptr);
    Q_EMIT dataChanged(row, row, {Qt::CheckStateRole, MarkedCountRole});
}

bool DuplicateGroupsModel::isGroup(const QModelIndex& index) const
{
    return index.isValid() && index.internalPointer() == nullptr;
}

DuplicateGroupsModel::GroupRow* DuplicateGroupsModel::groupRow(const QModelIndex& index) const
{
    if (!index.isValid())
        return nullptr;
    if (auto* owner = static_cast<GroupRow*>(index.internalPointer()))
        return owner;
    return index.row() < int(m_groups.size()) ? m_groups[std::size_t(index.row())].get() : nullptr;
}

NodeRef DuplicateGroupsModel::fileAt(const QModelIndex& index) const
{
    auto* owner = index.isValid() ? static_cast<GroupRow*>(index.internalPointer()) : nullptr;
    if (!owner || index.row() < 0 || std::size_t(index.row()) >= owner->files.size())
        return {};
    return owner->files[std::size_t(index.row())];
}

QModelIndex DuplicateGroupsModel::groupOf(const QModelIndex& index) const
{
    return isGroup(index) ? index : parent(index);
}

const std::vector<NodeRef>* DuplicateGroupsModel::groupFiles(const QModelIndex& index) const
{
    const GroupRow* group = groupRow(index);
    return group ? &filesOf(*group) : nullptr;
}

QModelIndex DuplicateGroupsModel::indexOf(const FileNode* file) const
{
    for (const auto& group : m_groups)
        for (std::size_t row = 0; row < group->files.size(); ++row)
            if (group->files[row].get() == file)
                return createIndex(int(row), 0, group.get());
    return {};
}

QModelIndex DuplicateGroupsModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row < int(m_groups.size()) ? createIndex(row, 0, nullptr) : QModelIndex();
    GroupRow* group = isGroup(parent) ? groupRow(parent) : nullptr;
    if (!group || row >= int(group->files.size()))
        return {};
    return createIndex(row, 0, group);
}

QModelIndex DuplicateGroupsModel::parent(const QModelIndex& index) const
{
    const auto* owner = index.isValid() ? static_cast<GroupRow*>(index.internalPointer()) : nullptr;
    return owner ? createIndex(owner->row, 0, nullptr) : QModelIndex();
}

int DuplicateGroupsModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return int(m_groups.size());
    const GroupRow* group = isGroup(parent) ? groupRow(parent) : nullptr;
    return group ? int(group->files.size()) : 0;
}

int DuplicateGroupsModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool DuplicateGroupsModel::hasChildren(const QModelIndex& parent) const
{
    return !parent.isValid() ? !m_groups.empty() : isGroup(parent);
}

bool DuplicateGroupsModel::hasMore(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return m_groups.size() < m_state.duplicateGroups().size();
    const GroupRow* group = isGroup(parent) ? groupRow(parent) : nullptr;
    return group && group->files.size() < filesOf(*group).size();
}

void DuplicateGroupsModel::showMore(const QModelIndex& parent)
{
    if (!hasMore(parent) || m_syncing)
        return;
    if (!parent.isValid()) {
        // The rows are the state's first groups: the next ones follow them.
        const std::size_t from = m_groups.size();
        m_groupLimit = from + kGroupPage;
        insertGroups(int(from), int(std::min(m_groupLimit, m_state.duplicateGroups().size())));
        Q_EMIT synced();
        return;
    }
    GroupRow* group = groupRow(parent);
    group->limit = group->files.size() + kFilePage;
    syncFiles(*group);
}

QVariant DuplicateGroupsModel::data(const QModelIndex& index, int role) const
{
    if (isGroup(index)) {
        const GroupRow* group = groupRow(index);
        if (!group)
            return {};
        const DuplicateFinder::DuplicateGroup* found = sourceOf(*group);
        if (!found)
            return {};
        const DuplicateFinder::DuplicateGroup& source = *found;
        const std::int64_t copies = std::int64_t(source.files.size());
        switch (role) {
        case Qt::DisplayRole:
            return source.files.empty() ? QString() : source.files.front()->name();
        case IsGroupRole:
            return true;
        case CopiesRole:
            return int(copies);
        case ContentSizeRole:
            return qint64(source.fileSize);
        case WastedRole:
            return qint64((copies - 1) * source.fileSize);
        case MarkedCountRole:
            return int(group->marked);
        case Qt::CheckStateRole:
            return group->marked == 0        ? Qt::Unchecked
                   : group->marked == copies ? Qt::Checked
                                             : Qt::PartiallyChecked;
        default:
            return {};
        }
    }
    const NodeRef file = fileAt(index);
    if (!file)
        return {};
    const DuplicateFinder::DuplicateGroup* group =
        sourceOf(*static_cast<GroupRow*>(index.internalPointer()));
    switch (role) {
    case Qt::DisplayRole:
        return file->name();
    case Qt::ToolTipRole:
        return file->path();
    case IsGroupRole:
        return false;
    case Qt::CheckStateRole:
        return isMarked(*file) ? Qt::Checked : Qt::Unchecked;
    case FileListModel::NodeRole:
        return QVariant::fromValue(file);
    case FileListModel::FolderRole:
        return FileListModel::containingFolder(*file);
    case FileListModel::SizeRole: // the length of the content, as the group's
        return qint64(group ? group->fileSize : 0);
    case FileListModel::DateRole:
        if (const auto date = file->modificationDate())
            return qint64(*date);
        return {};
    case FileListModel::CategoryRole:
        return int(FileCategory::of(*file).value());
    default:
        return {};
    }
}

bool DuplicateGroupsModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || !index.isValid())
        return false;
    const bool wanted = value.toInt() != Qt::Unchecked;
    const bool now = data(index, Qt::CheckStateRole).toInt() != Qt::Unchecked;
    if (wanted != now)
        toggleMarks({index});
    return true;
}

Qt::ItemFlags DuplicateGroupsModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
    if (!isGroup(index))
        flags |= Qt::ItemNeverHasChildren;
    return flags;
}

void DuplicateGroupsModel::mark(const NodeRef& file, bool marked, std::int64_t length)
{
    if (marked) {
        const auto it = m_marked.find(file.get());
        if (it == m_marked.end()) {
            m_marked.insert(file.get(), {length, m_counts});
            m_markedBytes += length;
        }
    } else if (const auto it = m_marked.find(file.get()); it != m_marked.end()) {
        m_markedBytes -= it->length;
        m_marked.erase(it);
    }
}

void DuplicateGroupsModel::setMarked(const std::vector<NodeRef>& files, bool marked)
{
    for (const NodeRef& file : files)
        mark(file, marked, 0); // the lengths are counted again below
    recount();
    announceMarks();
}

void DuplicateGroupsModel::markOnly(const std::vector<NodeRef>& files)
{
    m_marked.clear();
    m_markedBytes = 0;
    m_marked.reserve(qsizetype(files.size()));
    setMarked(files, true);
}

void DuplicateGroupsModel::toggleMarks(const QModelIndexList& rows)
{
    // Each group once: a group row, and its file rows, decide together.
    QHash<GroupRow*, std::vector<NodeRef>> changes;
    std::unordered_set<const GroupRow*> wholeGroupRows;
    for (const QModelIndex& index : rows) {
        GroupRow* group = groupRow(index);
        if (!group)
            continue;
        if (isGroup(index)) {
            wholeGroupRows.insert(group);
            changes[group]; // the group is looked at below
        } else if (NodeRef file = fileAt(index)) {
            changes[group].push_back(std::move(file));
        }
    }
    // File rows all become marked when any of them is not, else all unmarked.
    bool markFiles = false;
    for (const auto& files : std::as_const(changes))
        for (const NodeRef& file : files)
            markFiles |= !isMarked(*file);
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        GroupRow* group = it.key();
        const DuplicateFinder::DuplicateGroup* source = sourceOf(*group);
        if (!source)
            continue;
        const std::vector<NodeRef>& all = source->files;
        const std::int64_t length = source->fileSize;
        const bool wasWhole = group->marked == std::int64_t(all.size());
        if (wholeGroupRows.count(group)) {
            // A group's box: every copy but the first, or none when any is marked.
            const bool markCopies = group->marked == 0;
            for (std::size_t i = 0; i < all.size(); ++i)
                mark(all[i], markCopies && i > 0, length);
            group->marked = markCopies ? std::int64_t(all.size()) - 1 : 0;
        } else {
            for (const NodeRef& file : it.value()) {
                if (isMarked(*file) == markFiles)
                    continue;
                mark(file, markFiles, length);
                group->marked += markFiles ? 1 : -1;
            }
        }
        const bool isWhole = group->marked == std::int64_t(all.size());
        m_wholeGroups += std::int64_t(isWhole) - std::int64_t(wasWhole);
        const QModelIndex parent = createIndex(group->row, 0, nullptr);
        Q_EMIT dataChanged(parent, parent, {Qt::CheckStateRole, MarkedCountRole});
        if (!group->files.empty())
            Q_EMIT dataChanged(index(0, 0, parent), index(int(group->files.size()) - 1, 0, parent),
                               {Qt::CheckStateRole});
    }
    if (!changes.isEmpty())
        Q_EMIT marksChanged();
}

bool DuplicateGroupsModel::wouldMark(const QModelIndexList& rows) const
{
    for (const QModelIndex& row : rows) {
        if (isGroup(row)) {
            if (const GroupRow* group = groupRow(row); group && group->marked == 0)
                return true;
        } else if (const NodeRef file = fileAt(row); file && !isMarked(*file)) {
            return true;
        }
    }
    return false;
}

void DuplicateGroupsModel::announceMarks()
{
    if (!m_groups.empty()) {
        Q_EMIT dataChanged(index(0, 0), index(int(m_groups.size()) - 1, 0),
                           {Qt::CheckStateRole, MarkedCountRole});
        for (const auto& group : m_groups)
            if (!group->files.empty()) {
                const QModelIndex parent = createIndex(group->row, 0, nullptr);
                Q_EMIT dataChanged(index(0, 0, parent),
                                   index(int(group->files.size()) - 1, 0, parent),
                                   {Qt::CheckStateRole});
            }
    }
    Q_EMIT marksChanged();
}

std::vector<NodeRef> DuplicateGroupsModel::markedFiles() const
{
    std::vector<NodeRef> files;
    if (m_marked.empty())
        return files;
    files.reserve(m_marked.size());
    for (const auto& group : m_state.duplicateGroups())
        for (const NodeRef& file : group.files)
            if (isMarked(*file))
                files.push_back(file);
    return files;
}

} // namespace plenvo
