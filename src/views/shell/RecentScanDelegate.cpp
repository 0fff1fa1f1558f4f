#include "RecentScanDelegate.h"

#include "RecentScansModel.h"
#include "theme/Icons.h"
#include "theme/ItemRow.h"
#include "theme/TextStyles.h"
#include "utils/FormatUtils.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace plenvo {

namespace {

constexpr int kInset = 10;
constexpr int kVerticalInset = 6;
constexpr int kSpacing = 10;
constexpr int kLineSpacing = 2;

} // namespace

RecentScanDelegate::RecentScanDelegate(QObject* parent)
    : QStyledItemDelegate(parent),
      m_nameFont(TextStyles::font(TextStyle::callout, {.weight = QFont::Medium})),
      m_detailFont(TextStyles::font(TextStyle::caption, {.monospacedDigits = true})),
      m_iconExtent(Icons::extentFor(TextStyles::font(TextStyle::body)))
{
    m_nameLine = QFontMetrics(m_nameFont).height();
    m_detailLine = QFontMetrics(m_detailFont).height();
    m_rowHeight = 2 * kVerticalInset + m_nameLine + kLineSpacing + m_detailLine;
}

RecentScanDelegate::Layout RecentScanDelegate::layout(const QRect& rect,
                                                      const QModelIndex& index) const
{
    Layout l;
    const QRect content = rect.adjusted(kInset, 0, -kInset, 0);
    int left = content.left();
    const int right = content.right() + 1;
    l.icon = QRect(left, rect.center().y() - m_iconExtent / 2, m_iconExtent, m_iconExtent);
    left += m_iconExtent + kSpacing;
    const int top = rect.top() + (rect.height() - (m_nameLine + kLineSpacing + m_detailLine)) / 2;
    const int second = top + m_nameLine + kLineSpacing;

    // Date over total, right-aligned, as wide as the wider of them (within half the row).
    const QFontMetrics detail(m_detailFont);
    l.dateText = FormatUtils::formatDateFull(index.data(RecentScansModel::DateRole).toLongLong());
    l.totalText = FormatUtils::formatBytes(index.data(RecentScansModel::TotalRole).toLongLong());
    const int column = std::max(0, right - left);
    const int sideWidth = std::min(column / 2, std::max(detail.horizontalAdvance(l.dateText),
                                                        detail.horizontalAdvance(l.totalText)) + 1);
    l.date = QRect(right - sideWidth, top, sideWidth, m_nameLine);
    l.dateText = detail.elidedText(l.dateText, Qt::ElideRight, sideWidth);
    l.total = QRect(right - sideWidth, second, sideWidth, m_detailLine);
    l.totalText = detail.elidedText(l.totalText, Qt::ElideRight, sideWidth);

    const int textWidth = std::max(0, column - sideWidth - kSpacing);
    const QString folder = index.data(RecentScansModel::FolderRole).toString();
    const qsizetype slash = folder.lastIndexOf(u'/');
    const QString name = slash >= 0 && folder.size() > 1 ? folder.mid(slash + 1) : folder;
    l.nameText = QFontMetrics(m_nameFont).elidedText(name, Qt::ElideRight, textWidth);
    l.name = QRect(left, top, textWidth, m_nameLine);
    l.folderText = detail.elidedText(folder, Qt::ElideMiddle, textWidth);
    l.folder = QRect(left, second, textWidth, m_detailLine);
    return l;
}

void RecentScanDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    const ItemRow row(painter, opt);
    const Layout l = layout(opt.rect, index);
    painter->save();
    painter->drawPixmap(l.icon.topLeft(),
                        Icons::pixmap(QStringLiteral("folder.fill"), m_iconExtent,
                                      row.isSelected() ? row.text() : row.color(ColorToken::blue),
                                      painter->device()->devicePixelRatioF()));
    painter->setPen(row.text());
    painter->setFont(m_nameFont);
    painter->drawText(l.name, Qt::AlignLeft | Qt::AlignVCenter, l.nameText);
    painter->setFont(m_detailFont);
    painter->setPen(row.color(ColorToken::secondary));
    painter->drawText(l.date, Qt::AlignRight | Qt::AlignVCenter, l.dateText);
    painter->drawText(l.total, Qt::AlignRight | Qt::AlignVCenter, l.totalText);
    painter->setPen(row.color(ColorToken::tertiary));
    painter->drawText(l.folder, Qt::AlignLeft | Qt::AlignVCenter, l.folderText);
    row.drawFocus();
    painter->restore();
}

QSize RecentScanDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return {std::max(option.rect.width(), 0), m_rowHeight};
}

} // namespace plenvo
