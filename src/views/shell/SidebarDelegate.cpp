#include "SidebarDelegate.h"

#include "SidebarModel.h"
#include "theme/Colors.h"
#include "theme/Icons.h"
#include "theme/TextStyles.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace plenvo {

namespace {

constexpr int kSectionGap = 10;      // above every header but the first
constexpr int kHeaderTopPadding = 8; // a header's text sits at the bottom of its row
constexpr int kRowPadding = 8;       // inside a row, left and right
constexpr int kRowVerticalPadding = 6;
constexpr int kIconBox = 18;
constexpr int kIconSpacing = 8;
constexpr int kTrailingSpace = 4;
constexpr int kCornerRadius = 6;
constexpr qreal kIconSystemSize = 13;
constexpr qreal kHeaderSystemSize = 11;
constexpr qreal kPressedOpacity = 0.55;
constexpr qreal kInactiveSelectionOpacity = 0.22;

QFont rowFont()
{
    return TextStyles::font(TextStyle::body);
}

QFont headerFont()
{
    return TextStyles::systemFont(kHeaderSystemSize, {.weight = QFont::Bold});
}

int iconExtent()
{
    return Icons::extentFor(TextStyles::systemFont(kIconSystemSize));
}

int iconBoxWidth()
{
    return std::max(kIconBox, iconExtent());
}

void paintHeader(QPainter& painter, const QRect& rect, const QString& title,
                 const QPalette& palette)
{
    painter.setFont(headerFont());
    painter.setPen(Colors::color(ColorToken::secondary, palette));
    const QRect textRect = rect.adjusted(kRowPadding, 0, -kRowPadding, 0);
    painter.drawText(
        textRect, Qt::AlignLeft | Qt::AlignBottom,
        QFontMetrics(painter.font()).elidedText(title, Qt::ElideRight, textRect.width()));
}

} // namespace

SidebarDelegate::SidebarDelegate(QObject* parent) : QAbstractItemDelegate(parent) {}

QSize SidebarDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    // Rows are as wide as the list (their titles elide), so only the fixed parts count here.
    const int width = 2 * kRowPadding + iconBoxWidth() + kIconSpacing + kTrailingSpace;
    if (SidebarModel::kindOf(index) == SidebarModel::RowKind::header)
        return {width, QFontMetrics(headerFont()).height() + kHeaderTopPadding +
                           (index.row() > 0 ? kSectionGap : 0)};
    return {width,
            std::max(QFontMetrics(rowFont()).height(), iconExtent()) + 2 * kRowVerticalPadding};
}

void SidebarDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const
{
    // The list's own palette: the view dims the one in `option` for rows that are not enabled,
    // which headers never are.
    const QWidget* list = option.widget;
    const QPalette& palette = list ? list->palette() : option.palette;
    const QString title = index.data(Qt::DisplayRole).toString();
    const QRect rect = option.rect;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);

    const SidebarModel::RowKind kind = SidebarModel::kindOf(index);
    if (kind == SidebarModel::RowKind::header) {
        paintHeader(*painter, rect, title, palette);
        painter->restore();
        return;
    }

    const bool selected = option.state & QStyle::State_Selected;
    const bool emphasised = selected && list && list->hasFocus();
    if (selected) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(
            emphasised ? palette.color(QPalette::Highlight)
                       : Colors::color(ColorToken::gray, palette, kInactiveSelectionOpacity));
        painter->drawRoundedRect(rect, kCornerRadius, kCornerRadius);
    } else if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(palette.color(QPalette::Highlight), 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(QRectF(rect).adjusted(1, 1, -1, -1), kCornerRadius, kCornerRadius);
    }
    if (index.row() == m_pressedRow)
        painter->setOpacity(kPressedOpacity);

    QColor symbolColor =
        Colors::color(ColorToken(index.data(SidebarModel::SymbolColorRole).toInt()), palette);
    // The new-scan button is drawn in its colour throughout, like a link.
    QColor textColor = kind == SidebarModel::RowKind::newScan
                           ? Colors::textColor(ColorToken::blue, palette)
                           : palette.color(QPalette::WindowText);
    if (emphasised)
        textColor = symbolColor = palette.color(QPalette::HighlightedText);

    const QRect box(rect.left() + kRowPadding, rect.top(), iconBoxWidth(), rect.height());
    const int extent = iconExtent();
    const QPixmap pixmap = Icons::pixmap(index.data(SidebarModel::SymbolRole).toString(), extent,
                                         symbolColor, painter->device()->devicePixelRatioF());
    if (!pixmap.isNull())
        painter->drawPixmap(box.left() + (box.width() - extent) / 2,
                            box.top() + (box.height() - extent) / 2, pixmap);

    const int textLeft = box.right() + 1 + kIconSpacing;
    const QRect textRect(textLeft, rect.top(),
                         rect.right() - kRowPadding - kTrailingSpace - textLeft + 1, rect.height());
    painter->setFont(rowFont());
    painter->setPen(textColor);
    painter->drawText(
        textRect, Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetrics(painter->font()).elidedText(title, Qt::ElideRight, textRect.width()));
    painter->restore();
}

} // namespace plenvo
