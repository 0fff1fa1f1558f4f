#pragma once

#include "models/FileNode.h"
#include "models/ScanComparison.h"

#include <QAbstractListModel>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plenvo {

// One folder of a comparison of two scans (ScanComparison) as rows of a list: what changed in
// it, folders first, then by the size of the change. A folder's row can be opened, as the
// treemap opens a tile: the list then shows what changed inside it (inside a new folder: all
// it holds, from the current tree). Filters keep the rows that hold growth, shrinking, new or
// gone files; a moved folder always shows.
//
// A new comparison of the same two scans (made again after the result changed) keeps the
// folder shown, or the nearest one above it that is still there, and turns the difference into
// row removals, insertions and moves, so that the view keeps its selection and its place; a
// comparison of other scans starts over at the top (a reset).
class ChangesModel : public QAbstractListModel {
    Q_OBJECT

public:
    using Kind = ScanComparison::Kind;

    enum Role {
        NodeRole = Qt::UserRole + 1, // NodeRef: the entry in the current tree; null when gone
        KindRole,                    // int: Kind
        ChangeRole,                  // qint64: what it adds to the net change
        OldSizeRole,                 // qint64: in the earlier scan
        NewSizeRole,                 // qint64: now
        IsFolderRole,                // bool
        CanOpenRole,                 // bool: a folder with changes (or content) to show inside
        OldPathRole,                 // QString: where a moved folder was, for display
    };
    enum Filter : unsigned {
        grownFilter = 1,
        shrunkFilter = 2,
        appearedFilter = 4,
        goneFilter = 8,
        allFilters = 15,
    };

    explicit ChangesModel(QObject* parent = nullptr);

    void setComparison(std::shared_ptr<const ScanComparison> comparison, bool keepPlace);
    const std::shared_ptr<const ScanComparison>& comparison() const { return m_comparison; }
    // The filters shown (a combination of Filter); the rows follow without a reset.
    void setFilters(unsigned filters);
    unsigned filters() const { return m_filters; }

    // Opens the folder of `row`; false, changing nothing, when it cannot be opened.
    bool open(int row);
    // One level up; nothing at the top.
    void goUp();
    void goHome();
    bool isAtTop() const { return m_location.empty(); }
    // The folder shown: its name (the compared location at the top) and its change.
    QString folderName() const;
    std::int64_t folderChange() const;
    // The names of the folders opened, from the top.
    std::vector<std::string> location() const;

    // The entry of a row in the current tree; null when the row is gone (or out of range).
    NodeRef nodeAt(int row) const;
    // The entries of the rows that have one, in row order.
    std::vector<NodeRef> nodes() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // Another folder is shown.
    void folderChanged();
    // The rows follow the comparison, the folder and the filters again.
    void synced();

private:
    struct Step {
        std::string name;
        bool gone = false;
        friend bool operator==(const Step&, const Step&) = default;
    };
    // A row: an item of the comparison, or (inside a new folder) an entry of the tree.
    struct Row {
        Step key;
        ScanComparison::Index index = ScanComparison::kNone;
        NodeRef node;
    };
    // Where the rows come from: an item of the comparison, or a folder of the tree inside a
    // new folder.
    struct Level {
        ScanComparison::Index index = ScanComparison::kNone;
        NodeRef node;
    };

    Level resolve();
    std::vector<Row> wantedRows() const;
    bool passes(const ScanComparison::Item& item) const;
    bool canOpen(const Row& row) const;
    void reload();
    void sync();

    std::shared_ptr<const ScanComparison> m_comparison;
    unsigned m_filters = allFilters;
    std::vector<Step> m_location;
    Level m_level;
    std::vector<Row> m_rows;
};

} // namespace plenvo
