#include "ChangeRowDelegate.h"

#include "ChangesModel.h"
#include "theme/Colors.h"
#include "theme/Icons.h"
#include "theme/ItemRow.h"
#include "theme/TextStyles.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace plenvo {

namespace {

using Kind = ScanComparison::Kind;

constexpr int kRowInset = 10;        // the list's own margin left and right of a row
constexpr int kRowVerticalInset = 4; // ... and above and below it
constexpr int kPadding = 2;          // the row's padding at top and bottom
constexpr int kSpacing = 10;         // between the parts of a row
constexpr int kIconBox = 20;
constexpr int kLineSpacing = 2;
constexpr int kKindSpacing = 6;

} // namespace

ChangeRowDelegate::ChangeRowDelegate(QObject* parent)
    : QStyledItemDelegate(parent), m_nameFont(TextStyles::font(TextStyle::callout)),
      m_changeFont(TextStyles::font(TextStyle::callout,
                                    {.weight = QFont::DemiBold, .monospacedDigits = true})),
      m_kindFont(TextStyles::font(TextStyle::caption2, {.weight = QFont::Medium})),
      m_detailFont(TextStyles::font(TextStyle::caption2, {.monospacedDigits = true})),
      m_iconExtent(Icons::extentFor(TextStyles::font(TextStyle::caption))),
      m_chevronExtent(Icons::extentFor(TextStyles::font(TextStyle::caption2)))
{
    m_nameLine = QFontMetrics(m_nameFont).height();
    m_detailLine = std::max(QFontMetrics(m_kindFont).height(), QFontMetrics(m_detailFont).height());
    m_rowHeight = 2 * (kRowVerticalInset + kPadding) + m_nameLine + kLineSpacing + m_detailLine;
}

QString ChangeRowDelegate::kindText(Kind kind)
{
    switch (kind) {
    case Kind::grown:
        return L("changes.kind.grown");
    case Kind::shrunk:
        return L("changes.kind.shrunk");
    case Kind::appeared:
        return L("changes.kind.appeared");
    case Kind::gone:
        return L("changes.kind.gone");
    case Kind::moved:
        return L("changes.kind.moved");
    case Kind::unchanged:
        break;
    }
    return L("changes.kind.unchanged");
}

ColorToken ChangeRowDelegate::kindColor(Kind kind)
{
    switch (kind) {
    case Kind::grown:
        return ColorToken::orange;
    case Kind::shrunk:
        return ColorToken::green;
    case Kind::appeared:
        return ColorToken::purple;
    case Kind::moved:
        return ColorToken::blue;
    case Kind::gone:
    case Kind::unchanged:
        break;
    }
    return ColorToken::secondary;
}

ColorToken ChangeRowDelegate::changeColor(std::int64_t change)
{
    return change > 0 ? ColorToken::orange : change < 0 ? ColorToken::green : ColorToken::secondary;
}

ChangeRowDelegate::Layout ChangeRowDelegate::layout(const QRect& rect,
                                                    const QModelIndex& index) const
{
    Layout l;
    const QRect content = rect.adjusted(kRowInset, 0, -kRowInset, 0);
    int left = content.left();
    int right = content.right() + 1;
    const Kind kind = Kind(index.data(ChangesModel::KindRole).toInt());
    const bool folder = index.data(ChangesModel::IsFolderRole).toBool();
    l.color = kindColor(kind);
    l.iconName = folder ? (kind == Kind::gone ? QStringLiteral("folder") : QStringLiteral("folder.fill"))
                        : QStringLiteral("doc.fill");
    l.icon = QRect(left + (kIconBox - m_iconExtent) / 2, rect.center().y() - m_iconExtent / 2 + 1,
                   m_iconExtent, m_iconExtent);
    left += kIconBox + kSpacing;

    // The chevron's place is kept on every row, so that the changes line up.
    if (index.data(ChangesModel::CanOpenRole).toBool())
        l.chevron = QRect(right - m_chevronExtent, rect.center().y() - m_chevronExtent / 2,
                          m_chevronExtent, m_chevronExtent);
    right -= m_chevronExtent + kSpacing / 2;

    const int top = rect.top() + (rect.height() - (m_nameLine + kLineSpacing + m_detailLine)) / 2;
    const qint64 change = index.data(ChangesModel::ChangeRole).toLongLong();
    l.changeText = FormatUtils::formatBytesChange(change);
    l.changeColor = changeColor(change);
    const QFontMetrics changeMetrics(m_changeFont);
    const int changeWidth = std::min(std::max(0, right - left),
                                     changeMetrics.horizontalAdvance(l.changeText) + 1);
    l.change = QRect(right - changeWidth, top, changeWidth, m_nameLine);

    const int column = std::max(0, right - left);
    const QFontMetrics nameMetrics(m_nameFont);
    const int nameRoom = std::max(0, column - changeWidth - kSpacing);
    const QString name = index.data(Qt::DisplayRole).toString();
    l.nameText = nameMetrics.elidedText(name, Qt::ElideRight, nameRoom);
    l.name = QRect(left, top, nameRoom, m_nameLine);

    // Second line: what happened, then the sizes (or where a moved folder was).
    const int second = top + m_nameLine + kLineSpacing;
    const QFontMetrics kindMetrics(m_kindFont);
    const QString kindLabel = kindText(kind);
    const int kindWidth = std::min(column, kindMetrics.horizontalAdvance(kindLabel) + 1);
    l.kindText = kindMetrics.elidedText(kindLabel, Qt::ElideRight, kindWidth);
    l.kind = QRect(left, second, kindWidth, m_detailLine);

    const qint64 oldSize = index.data(ChangesModel::OldSizeRole).toLongLong();
    const qint64 newSize = index.data(ChangesModel::NewSizeRole).toLongLong();
    Qt::TextElideMode elide = Qt::ElideRight;
    switch (kind) {
    case Kind::appeared:
        l.detailText = FormatUtils::formatBytes(newSize);
        break;
    case Kind::gone:
        l.detailText = L("changes.was %@", FormatUtils::formatBytes(oldSize));
        break;
    case Kind::moved:
        l.detailText = L("changes.from %@", index.data(ChangesModel::OldPathRole).toString());
        elide = Qt::ElideMiddle;
        break;
    default:
        l.detailText = FormatUtils::formatBytes(oldSize) + QStringLiteral(" \u2192 ") +
                       FormatUtils::formatBytes(newSize);
        break;
    }
    const int detailLeft = l.kind.right() + 1 + kKindSpacing;
    const int detailWidth = std::max(0, left + column - detailLeft);
    l.detailText = QFontMetrics(m_detailFont).elidedText(l.detailText, elide, detailWidth);
    l.detail = QRect(detailLeft, second, detailWidth, m_detailLine);
    return l;
}

void ChangeRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    opt.icon = QIcon();
    const ItemRow row(painter, opt);
    const Layout l = layout(opt.rect, index);
    // On the highlight the colours of the kinds give way to the highlighted text's.
    const auto color = [&](ColorToken token) {
        return row.isSelected() ? row.text() : row.color(token);
    };
    const qreal ratio = painter->device()->devicePixelRatioF();

    painter->save();
    painter->drawPixmap(l.icon.topLeft(),
                        Icons::pixmap(l.iconName, m_iconExtent, color(l.color), ratio));
    painter->setPen(row.text());
    painter->setFont(m_nameFont);
    painter->drawText(l.name, Qt::AlignLeft | Qt::AlignVCenter, l.nameText);
    painter->setPen(color(l.changeColor));
    painter->setFont(m_changeFont);
    painter->drawText(l.change, Qt::AlignRight | Qt::AlignVCenter, l.changeText);
    painter->setPen(color(l.color));
    painter->setFont(m_kindFont);
    painter->drawText(l.kind, Qt::AlignLeft | Qt::AlignVCenter, l.kindText);
    painter->setPen(row.color(ColorToken::tertiary));
    painter->setFont(m_detailFont);
    painter->drawText(l.detail, Qt::AlignLeft | Qt::AlignVCenter, l.detailText);
    if (!l.chevron.isEmpty())
        painter->drawPixmap(l.chevron.topLeft(),
                            Icons::pixmap(QStringLiteral("chevron.right"), m_chevronExtent,
                                          row.color(ColorToken::tertiary), ratio));
    row.drawFocus();
    painter->restore();
}

QSize ChangeRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return {std::max(option.rect.width(), 0), m_rowHeight};
}

} // namespace plenvo
