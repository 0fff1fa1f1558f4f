#pragma once

#include "models/FileNode.h"

#include <QItemSelectionModel>

#include <cstdint>
#include <utility>
#include <vector>

namespace plenvo {

class FileListModel;

// The selection of a file list, shared by the list and its action bar: a QItemSelectionModel
// over a FileListModel, with the questions both ask of it answered in one place. Rows are
// always taken in list order, and each answer reads the selected rows once.
class FileSelectionModel : public QItemSelectionModel {
    Q_OBJECT

public:
    explicit FileSelectionModel(FileListModel* model, QObject* parent = nullptr);

    FileListModel* fileModel() const { return m_files; }

    // The selected rows as sorted, disjoint, inclusive ranges [first, last].
    std::vector<std::pair<int, int>> selectedRowRanges() const;
    // The selected files in list order.
    std::vector<NodeRef> selectedFiles() const;
    // The ids of the selected rows (also of rows whose file moved away in the list).
    NodeIdSet selectedIds() const;

    struct Summary {
        std::int64_t count = 0;
        std::int64_t size = 0;
    };
    // How many files are selected and their total size.
    Summary summary() const;

    // The row that stands for the selection: the current row when it is selected, else the
    // first selected row; -1 when nothing is selected.
    int focusRow() const;
    // The first row, in list order, whose id is not among `ids`; -1 when there is none.
    int firstRowNotIn(const NodeIdSet& ids) const;

    // Makes `row` the only selected row and the current one; -1 clears the selection.
    void selectOnly(int row);
    // Selects the rows whose ids are among `ids` (and only those) in one change; the current
    // row becomes the row of `current` when that is selected, else the first selected row.
    void selectIds(const NodeIdSet& ids, const NodeId& current = {});

private:
    FileListModel* m_files;
};

} // namespace plenvo
