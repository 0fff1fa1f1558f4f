#pragma once

#include "models/FileNode.h"
#include "services/DuplicateFinder.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QUuid>

#include <cstdint>
#include <memory>
#include <vector>

namespace plenvo {

class AppState;

// The duplicate groups of the state (AppState::duplicateGroups(), the most wasted space first)
// for a QTreeView: a row per group, with a row per file of the group below it, and the files
// marked to go to the Trash (the check boxes).
//
// Rows come as they are needed, so that hundreds of thousands of groups, or a group of hundreds
// of thousands of files, cost no more than what is shown: the groups a page at a time, the files
// of a group a page at a time, when the view asks for more (hasMore/showMore, for the root and
// for each group). Not through canFetchMore/fetchMore: a QTreeView fetches at every layout, and
// a layout follows every fetch, so it would bring in every page.
//
// When the groups change by an edit (copies moved to the Trash or put back, files deleted
// elsewhere, groups checked again) the rows follow with row removals and insertions, never a
// reset; only another set of groups (a new search) resets the model. Marks of files that left
// the groups go with them.
//
// File rows answer FileListModel's roles, so that its row delegate can draw them; their size is
// the length of the content, as their group's (the space on disk may differ a little).
class DuplicateGroupsModel : public QAbstractItemModel {
    Q_OBJECT

public:
    enum Role {
        IsGroupRole = Qt::UserRole + 32, // bool
        CopiesRole,                      // int: the files of a group
        ContentSizeRole,                 // qint64: the length of each copy of a group
        WastedRole,                      // qint64: (copies - 1) x the length, of a group
        MarkedCountRole,                 // int: the marked files of a group
    };
    static constexpr int kGroupPage = 200;
    static constexpr int kFilePage = 100;

    explicit DuplicateGroupsModel(AppState& state, QObject* parent = nullptr);
    ~DuplicateGroupsModel() override;

    // Whether the root (more groups) or a group (more of its files) has more to show, and
    // the next page of it.
    bool hasMore(const QModelIndex& parent) const;
    void showMore(const QModelIndex& parent);

    // Brings the rows in line with the state's groups (after they changed).
    void sync();
    bool isSyncing() const { return m_syncing; }

    bool isGroup(const QModelIndex& index) const;
    // The file of a file row; null for a group row.
    NodeRef fileAt(const QModelIndex& index) const;
    // The group of a row (itself for a group row); invalid for an invalid index.
    QModelIndex groupOf(const QModelIndex& index) const;
    // The files of the group of a row, all of them (also those without rows yet).
    const std::vector<NodeRef>* groupFiles(const QModelIndex& index) const;
    // The row of a file among the rows made so far; invalid when it has none.
    QModelIndex indexOf(const FileNode* file) const;

    // Marks: the files chosen to go to the Trash.
    bool isMarked(const FileNode& file) const { return m_marked.contains(&file); }
    void setMarked(const std::vector<NodeRef>& files, bool marked);
    // Marks exactly these files.
    void markOnly(const std::vector<NodeRef>& files);
    void clearMarks() { markOnly({}); }
    // Whether toggleMarks(rows) would mark (else it would unmark).
    bool wouldMark(const QModelIndexList& rows) const;
    // Marks or unmarks what the rows stand for: the files of file rows are all marked when any
    // of them is not, else all unmarked; a group row marks every copy of the group but the
    // first, or unmarks them all when any is marked.
    void toggleMarks(const QModelIndexList& rows);
    // The marked files, in the order of the groups.
    std::vector<NodeRef> markedFiles() const;
    std::int64_t markedCount() const { return std::int64_t(m_marked.size()); }
    std::int64_t markedBytes() const { return m_markedBytes; }
    // Groups whose every file is marked (none of them would move).
    std::int64_t wholeGroupsMarked() const { return m_wholeGroups; }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    // The rows follow the groups again (after an edit, a new search or more rows).
    void synced();
    // Files were marked or unmarked.
    void marksChanged();

private:
    struct GroupRow {
        QUuid id;
        int row = 0;
        std::size_t limit = kFilePage; // files wanted as rows
        std::vector<NodeRef> files;    // the files with rows
        std::size_t copies = 0;        // files of the whole group
        std::int64_t marked = 0;       // marked files of the whole group
    };

    const DuplicateFinder::DuplicateGroup* sourceOf(const GroupRow& group) const;
    const std::vector<NodeRef>& filesOf(const GroupRow& group) const;
    GroupRow* groupRow(const QModelIndex& index) const;
    std::unique_ptr<GroupRow> makeGroup(std::size_t at) const;
    void insertGroups(int at, int end); // rows for the state's groups at to end - 1
    void syncFiles(GroupRow& group);
    void renumber(std::size_t from);
    // Counts again what is marked (after the groups changed); marks of files in no group go.
    void recount();
    void setMarkedCount(GroupRow& group, std::int64_t marked);
    void announceMarks();
    void mark(const NodeRef& file, bool marked, std::int64_t length);

    AppState& m_state;
    std::vector<std::unique_ptr<GroupRow>> m_groups;
    std::size_t m_groupLimit = kGroupPage;
    // The marked files, each with the length of its content (what moving it frees, but for the
    // blocks). Only files of the state's groups, which keep them alive: each sync drops the
    // others at once. Found by address, which saves reading each node when counting.
    struct Mark {
        std::int64_t length = 0;
        std::uint32_t seen = 0; // the count that found it last
    };
    QHash<const FileNode*, Mark> m_marked;
    std::uint32_t m_counts = 0;
    std::int64_t m_markedBytes = 0;
    std::int64_t m_wholeGroups = 0;
    bool m_syncing = false;
};

} // namespace plenvo
