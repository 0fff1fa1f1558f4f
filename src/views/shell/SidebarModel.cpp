#include "SidebarModel.h"

#include "utils/Localization.h"

#include <algorithm>

namespace plenvo {

SidebarModel::SidebarModel(QObject* parent)
    : QAbstractListModel(parent), m_rows(rowsFor(false, false))
{
}

std::vector<SidebarModel::Row> SidebarModel::rowsFor(bool hasResult, bool offersChanges)
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
        if (item != SidebarItem::changes || offersChanges)
            rows.push_back({RowKind::item, item});
    return rows;
}

void SidebarModel::setHasResult(bool hasResult)
{
    if (hasResult == m_hasResult)
        return;
    m_hasResult = hasResult;
    setRows(rowsFor(m_hasResult, m_offersChanges));
}

void SidebarModel::setOffersChanges(bool offers)
{
    if (offers == m_offersChanges)
        return;
    m_offersChanges = offers;
    setRows(rowsFor(m_hasResult, m_offersChanges));
}

void SidebarModel::setRows(std::vector<Row> rows)
{
    // The rows differ in one run: what the old and the new rows share at both ends stays.
    const auto same = [](const Row& a, const Row& b) {
        return a.kind == b.kind && a.item == b.item && a.headerKey == b.headerKey;
    };
    std::size_t head = 0;
    while (head < rows.size() && head < m_rows.size() && same(rows[head], m_rows[head]))
        ++head;
    std::size_t tail = 0;
    while (tail < rows.size() - head && tail < m_rows.size() - head &&
           same(rows[rows.size() - 1 - tail], m_rows[m_rows.size() - 1 - tail]))
        ++tail;
    if (m_rows.size() - head - tail > 0) {
        beginRemoveRows({}, int(head), int(m_rows.size() - tail) - 1);
        m_rows.erase(m_rows.begin() + std::ptrdiff_t(head),
                     m_rows.end() - std::ptrdiff_t(tail));
        endRemoveRows();
    }
    if (rows.size() - head - tail > 0) {
        beginInsertRows({}, int(head), int(rows.size() - tail) - 1);
        m_rows.insert(m_rows.begin() + std::ptrdiff_t(head), rows.begin() + std::ptrdiff_t(head),
                      rows.end() - std::ptrdiff_t(tail));
        endInsertRows();
    }
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
