#include "SidebarModel.h"

#include "utils/Localization.h"

#include <algorithm>

namespace plenvo {

SidebarModel::SidebarModel(QObject* parent) : QAbstractListModel(parent), m_rows(rowsFor(false)) {}

std::vector<SidebarModel::Row> SidebarModel::rowsFor(bool hasResult)
{
    std::vector<Row> rows{{RowKind::header, std::nullopt, "sidebar.actions"},
                          {RowKind::newScan, std::nullopt}};
    if (!hasResult)
        return rows;
    for (SidebarItem item : SidebarItem::actionItems())
        if (item.isEnabled())
            rows.push_back({RowKind::item, item});
    rows.push_back({RowKind::header, std::nullopt, "sidebar.views"});
    for (SidebarItem item : SidebarItem::viewItems())
        rows.push_back({RowKind::item, item});
    return rows;
}

void SidebarModel::setHasResult(bool hasResult)
{
    if (hasResult == m_hasResult)
        return;
    // The rows that need a result all follow the new-scan row, which stays.
    std::vector<Row> rows = rowsFor(hasResult);
    const int first = kNewScanRow + 1;
    const int last = int(std::max(rows.size(), m_rows.size())) - 1;
    if (hasResult)
        beginInsertRows({}, first, last);
    else
        beginRemoveRows({}, first, last);
    m_hasResult = hasResult;
    m_rows = std::move(rows);
    if (hasResult)
        endInsertRows();
    else
        endRemoveRows();
}

int SidebarModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant SidebarModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row& row = m_rows[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        if (row.kind == RowKind::header)
            return L(row.headerKey);
        return row.item ? row.item->localizedName() : L("sidebar.newScan");
    case KindRole:
        return int(row.kind);
    case ItemRole:
        return row.item ? QVariant(int(row.item->value())) : QVariant();
    case SymbolRole:
        if (row.kind == RowKind::header)
            return {};
        return row.item ? QString::fromLatin1(row.item->icon())
                        : QStringLiteral("plus.circle.fill");
    case SymbolColorRole:
        if (row.kind == RowKind::header)
            return {};
        return int(row.item ? row.item->iconColor() : ColorToken::blue);
    default:
        return {};
    }
}

Qt::ItemFlags SidebarModel::flags(const QModelIndex& index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return Qt::NoItemFlags;
    switch (m_rows[size_t(index.row())].kind) {
    case RowKind::header:
        return Qt::NoItemFlags;
    case RowKind::newScan:
        return Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    case RowKind::item:
        break;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

SidebarModel::RowKind SidebarModel::kindOf(const QModelIndex& index)
{
    return RowKind(index.data(KindRole).toInt());
}

std::optional<SidebarItem> SidebarModel::itemOf(const QModelIndex& index)
{
    const QVariant value = index.data(ItemRole);
    if (!value.isValid())
        return std::nullopt;
    return SidebarItem(SidebarItem::Value(value.toInt()));
}

QModelIndex SidebarModel::indexOf(SidebarItem item) const
{
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].item == item)
            return index(int(i));
    return {};
}

std::vector<SidebarItem> SidebarModel::items() const
{
    std::vector<SidebarItem> items;
    for (const Row& row : m_rows)
        if (row.item)
            items.push_back(*row.item);
    return items;
}

} // namespace plenvo
