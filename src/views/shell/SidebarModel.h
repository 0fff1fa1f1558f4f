#pragma once

#include "SidebarItem.h"

#include <QAbstractListModel>

#include <optional>
#include <vector>

namespace plenvo {

// The rows of the sidebar, top to bottom: the "Actions" section header, the new-scan row, the
// enabled action items, then (once a scan result exists) the "Views" section header and the
// view items (Changes only while there is an earlier scan to compare with). Every row's title is its display and accessible text.
//
// Headers are neither enabled nor selectable (the keyboard and the mouse pass them by); the
// new-scan row is enabled but not selectable (it is a button); item rows are both.
class SidebarModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum class RowKind { header, newScan, item };
    enum Role {
        KindRole = Qt::UserRole + 1, // RowKind as int
        ItemRole,                    // SidebarItem::Value as int; item rows only
        SymbolRole,                  // QString symbol name; not for headers
        SymbolColorRole,             // ColorToken as int; not for headers
    };

    explicit SidebarModel(QObject* parent = nullptr);

    // Whether a scan result exists: the item rows and the views section need one.
    void setHasResult(bool hasResult);
    bool hasResult() const { return m_hasResult; }
    // Whether the views offer the changes since an earlier scan.
    void setOffersChanges(bool offers);
    bool offersChanges() const { return m_offersChanges; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    static RowKind kindOf(const QModelIndex& index);
    static std::optional<SidebarItem> itemOf(const QModelIndex& index);
    // The row of an item; invalid when the sidebar offers it no row.
    QModelIndex indexOf(SidebarItem item) const;
    QModelIndex newScanIndex() const { return index(kNewScanRow); }
    // The item rows shown, top to bottom.
    std::vector<SidebarItem> items() const;

private:
    static constexpr int kNewScanRow = 1;

    struct Row {
        RowKind kind;
        std::optional<SidebarItem> item;
        const char* headerKey = nullptr;
    };
    static std::vector<Row> rowsFor(bool hasResult, bool offersChanges);
    // Replaces the rows, removing and inserting only those that differ.
    void setRows(std::vector<Row> rows);

    bool m_hasResult = false;
    bool m_offersChanges = false;
    std::vector<Row> m_rows;
};

} // namespace plenvo
