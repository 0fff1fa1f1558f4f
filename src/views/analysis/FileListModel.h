#pragma once

#include "models/FileNode.h"

#include <QAbstractListModel>
#include <QMetaType>

#include <climits>
#include <vector>

namespace plenvo {

// The first rows of a list of files, for a QListView. The list itself is not copied: it stays
// with its owner (a ScanResult's top files or the files of a category, which can be very long),
// who must keep it alive while it is shown and call setFiles() again after changing it.
//
// The ids of the rows shown are kept, so that a row keeps its identity when the owner's list
// shrinks in place (ScanResult::removeNodes) before the owner resets the model: rows whose
// file is no longer where it was answer nothing instead of another file's data.
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

    explicit FileListModel(QObject* parent = nullptr);

    // Shows the first `limit` entries of `files` (null: nothing); resets the model.
    void setFiles(const std::vector<NodeRef>* files, int limit = INT_MAX);
    // Shows more (or fewer) entries of the same list, inserting or removing rows at the end.
    void setLimit(int limit);
    int limit() const { return m_limit; }
    const std::vector<NodeRef>* files() const { return m_files; }

    // The file of a row; null when the row is out of range or its file moved away in the list.
    NodeRef nodeAt(int row) const;
    // The id a row had when it was last laid out, even when its file has moved away since.
    const NodeId& idAt(int row) const { return m_ids[std::size_t(row)]; }
    // The files of the rows, in order.
    std::vector<NodeRef> shownFiles() const;

    // The folder part of a file's display path: "/home/user/a.txt" -> "/home/user".
    static QString containingFolder(const FileNode& node);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    int shownCount() const;
    void appendIds(int from, int to);

    const std::vector<NodeRef>* m_files = nullptr;
    int m_limit = INT_MAX;
    std::vector<NodeId> m_ids;
};

} // namespace plenvo

Q_DECLARE_METATYPE(plenvo::NodeRef)
