#include "DuplicateRowDelegate.h"

#include "DuplicateGroupsModel.h"
#include "theme/Icons.h"
#include "theme/ItemRow.h"
#include "theme/TextStyles.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace plenvo {

namespace {

constexpr int kCheckInset = 6;  // left of the check box
constexpr int kCheckSpacing = 2; // between the check box and what follows
constexpr int kRowInset = 10;   // as a file row's
constexpr int kIconBox = 20;
constexpr int kSpacing = 10;
constexpr int kSizeBox = 84;
constexpr int kNarrowRow = 360; // a file row narrower than this leaves out the date
constexpr int kLineSpacing = 2;

QStyle* styleOf(const QWidget* widget)
{
    return widget ? widget->style() : QApplication::style();
}

} // namespace

DuplicateRowDelegate::DuplicateRowDelegate(QObject* parent)
    : QStyledItemDelegate(parent),
      m_nameFont(TextStyles::font(TextStyle::callout, {.weight = QFont::DemiBold})),
      m_detailFont(TextStyles::font(TextStyle::caption2)),
      m_wastedFont(TextStyles::font(TextStyle::callout,
                                    {.weight = QFont::DemiBold, .monospacedDigits = true})),
      m_iconExtent(Icons::extentFor(TextStyles::font(TextStyle::caption)))
{
    m_files.setShowModifiedDate(true);
}

QRect DuplicateRowDelegate::checkRect(const QRect& rect, const QWidget* widget) const
{
    QStyle* style = styleOf(widget);
    const int width = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget);
    const int height = style->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, widget);
    return QRect(rect.left() + kCheckInset, rect.center().y() - height / 2 + 1, width, height);
}

DuplicateRowDelegate::GroupLayout DuplicateRowDelegate::groupLayout(const QRect& rect,
                                                                    const QModelIndex& index) const
{
    GroupLayout l;
    int left = rect.left() + kRowInset;
    const int right = rect.right() + 1 - kRowInset;
    l.icon = QRect(left + (kIconBox - m_iconExtent) / 2, rect.center().y() - m_iconExtent / 2 + 1,
                   m_iconExtent, m_iconExtent);
    left += kIconBox + kSpacing;

    const QFontMetrics name(m_nameFont);
    const QFontMetrics detail(m_detailFont);
    const int top = rect.top() + (rect.height() - (name.height() + kLineSpacing + detail.height())) / 2;
    const int lowerTop = top + name.height() + kLineSpacing;

    // The space taken by the extra copies, and under it what that is.
    l.wastedText = FormatUtils::formatBytes(index.data(DuplicateGroupsModel::WastedRole).toLongLong());
    l.captionText = L("duplicates.wastedCaption");
    const int sizeWidth = std::max({kSizeBox, QFontMetrics(m_wastedFont).horizontalAdvance(l.wastedText) + 1});
    l.wasted = QRect(right - sizeWidth, top, sizeWidth, name.height());
    const int captionWidth = std::min(detail.horizontalAdvance(l.captionText) + 1, 2 * kSizeBox);
    l.caption = QRect(right - captionWidth, lowerTop, captionWidth, detail.height());
    l.captionText = detail.elidedText(l.captionText, Qt::ElideRight, captionWidth);

    const int column = std::max(0, std::min(l.wasted.left(), l.caption.left()) - kSpacing - left);
    l.nameText = name.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideMiddle, column);
    l.name = QRect(left, top, column, name.height());
    const int copies = index.data(DuplicateGroupsModel::CopiesRole).toInt();
    l.allMarked = copies > 0 && index.data(DuplicateGroupsModel::MarkedCountRole).toInt() == copies;
    const QString text =
        l.allMarked ? L("duplicates.allMarked")
                    : L("duplicates.groupDetail %lld %@", qint64(copies),
                        FormatUtils::formatBytes(
                            index.data(DuplicateGroupsModel::ContentSizeRole).toLongLong()));
    l.detailText = detail.elidedText(text, Qt::ElideRight, column);
    l.detail = QRect(left, lowerTop, column, detail.height());
    return l;
}

void DuplicateRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    QStyle* style = styleOf(opt.widget);
    opt.text.clear();
    opt.icon = QIcon();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, opt.widget);

    QStyleOptionViewItem check = opt;
    check.rect = checkRect(opt.rect, opt.widget);
    check.state &= ~QStyle::State_HasFocus;
    check.state |= opt.checkState == Qt::Checked          ? QStyle::State_On
                   : opt.checkState == Qt::PartiallyChecked ? QStyle::State_NoChange
                                                            : QStyle::State_Off;
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, painter, opt.widget);

    QStyleOptionViewItem rest = option;
    rest.rect.setLeft(check.rect.right() + 1 + kCheckSpacing);
    if (index.data(DuplicateGroupsModel::IsGroupRole).toBool())
        paintGroup(painter, rest, index);
    else
        (rest.rect.width() < kNarrowRow ? m_narrowFiles : m_files).paint(painter, rest, index);
}

void DuplicateRowDelegate::paintGroup(QPainter* painter, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const
{
    const GroupLayout l = groupLayout(option.rect, index);
    const auto color = [&](ColorToken token) { return ItemRow::colorOf(option, token); };
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->drawPixmap(l.icon.topLeft(),
                        Icons::pixmap(QStringLiteral("doc.on.doc.fill"), m_iconExtent,
                                      color(ColorToken::indigo),
                                      painter->device()->devicePixelRatioF()));
    painter->setPen(ItemRow::textOf(option));
    painter->setFont(m_nameFont);
    painter->drawText(l.name, Qt::AlignLeft | Qt::AlignVCenter, l.nameText);
    painter->setFont(m_wastedFont);
    painter->setPen(color(ColorToken::orange));
    painter->drawText(l.wasted, Qt::AlignRight | Qt::AlignVCenter, l.wastedText);
    painter->setFont(m_detailFont);
    painter->setPen(color(l.allMarked ? ColorToken::orange : ColorToken::secondary));
    painter->drawText(l.detail, Qt::AlignLeft | Qt::AlignVCenter, l.detailText);
    painter->setPen(color(ColorToken::secondary));
    painter->drawText(l.caption, Qt::AlignRight | Qt::AlignVCenter, l.captionText);
    painter->restore();
}

QSize DuplicateRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return {std::max(option.rect.width(), 0), rowHeight()};
}

bool DuplicateRowDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                       const QStyleOptionViewItem& option, const QModelIndex& index)
{
    // A click on the check box marks or unmarks, and does nothing else.
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const bool onCheck = mouse->button() == Qt::LeftButton &&
                         checkRect(option.rect, option.widget).contains(mouse->position().toPoint());
    if (type == QEvent::MouseButtonPress) {
        m_pressedOnCheck = onCheck;
        return onCheck;
    }
    if (type == QEvent::MouseButtonDblClick)
        return onCheck;
    const bool toggle = onCheck && m_pressedOnCheck;
    m_pressedOnCheck = false;
    if (!toggle)
        return false;
    const bool checked = index.data(Qt::CheckStateRole).toInt() != Qt::Unchecked;
    model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    return true;
}

} // namespace plenvo
