#pragma once

#include "models/FileNode.h"

#include <QAbstractListModel>
#include <QMetaType>

#include <climits>
#include <vector>

namespace plenvo {

class ResultEditor;

// The first rows of a list of files, for a QListView. The list stays with its owner (a
// ScanResult's top files or the files of a category, which can be very long), who keeps it
// alive while it is shown; the model keeps the files of its rows.
//
// When the result is edited (files moved to the Trash, put back, deleted elsewhere: the
// editor's signals) the owner's list changes in place, and the model follows it with row
// removals and insertions, never a reset: rows whose files stay keep their rows, so the view
// keeps its selection and its place. Only a different list (setFiles) resets the model.
class FileListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        NodeRole = Qt::UserRole + 1, // NodeRef
        FolderRole,                  // QString: the display path of the folder holding the file
        SizeRole,                    // qint64: the file's size
        DateRole,                    // qint64 ms since the epoch; invalid when unknown
        CategoryRole,                // int: FileCategory::Value
    };

    // With an editor, the rows follow its edits of the list (see sync()).
    explicit FileListModel(ResultEditor* edits = nullptr, QObject* parent = nullptr);

    // Shows the first `limit` entries of `files` (null: nothing); resets the model.
    void setFiles(const std::vector<NodeRef>* files, int limit = INT_MAX);
    // Shows more (or fewer) entries of the same list.
    void setLimit(int limit);
    int limit() const { return m_limit; }
    const std::vector<NodeRef>* files() const { return m_files; }

    // Brings the rows in line with the first `limit` entries of the list after it changed in
    // place: files no longer among them lose their rows and files new among them get rows where
    // the list has them, each run of rows in one step. Emits synced() at the end, also when
    // nothing changed.
    void sync();
    bool isSyncing() const { return m_syncing; }

    // The file of a row; null when the row is out of range.
    NodeRef nodeAt(int row) const;
    NodeId idAt(int row) const { return m_rows[std::size_t(row)]->id(); }
    // The files of the rows, in order.
    const std::vector<NodeRef>& shownFiles() const { return m_rows; }
    // The row of a file; -1 when it has none.
    int rowOf(const FileNode* node) const;

    // The folder part of a file's display path: "/home/user/a.txt" -> "/home/user".
    static QString containingFolder(const FileNode& node);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // The rows follow the list again (after an edit or a new limit).
    void synced();

private:
    std::size_t wantedCount() const;

    const std::vector<NodeRef>* m_files = nullptr;
    int m_limit = INT_MAX;
    std::vector<NodeRef> m_rows;
    bool m_syncing = false;
};

} // namespace plenvo

Q_DECLARE_METATYPE(plenvo::NodeRef)
