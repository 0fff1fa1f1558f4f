#include "FileRowDelegate.h"

#include "FileListModel.h"
#include "models/FileCategory.h"
#include "theme/Colors.h"
#include "theme/Icons.h"
#include "theme/ItemRow.h"
#include "theme/TextStyles.h"
#include "utils/FormatUtils.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace plenvo {

namespace {

constexpr int kRowInset = 10;        // the list's own margin left and right of a row
constexpr int kRowVerticalInset = 4; // ... and above and below it
constexpr int kPadding = 2;          // the row's padding at top and bottom
constexpr int kSpacing = 10;         // between the parts of a row
constexpr int kIconBox = 20;
constexpr int kSizeBox = 84;
constexpr int kLineSpacing = 2;
constexpr int kBadgeSpacing = 6;
constexpr int kBadgeHorizontalPadding = 5;
constexpr int kBadgeVerticalPadding = 1;

} // namespace

FileRowDelegate::FileRowDelegate(QObject* parent)
    : QStyledItemDelegate(parent), m_nameFont(TextStyles::font(TextStyle::callout)),
      m_badgeFont(TextStyles::font(TextStyle::caption2, {.weight = QFont::Medium})),
      m_folderFont(TextStyles::font(TextStyle::caption2)),
      m_dateFont(TextStyles::font(TextStyle::caption, {.monospacedDigits = true})),
      m_sizeFont(TextStyles::font(TextStyle::callout,
                                  {.weight = QFont::DemiBold, .monospacedDigits = true})),
      m_iconExtent(Icons::extentFor(TextStyles::font(TextStyle::caption)))
{
    m_nameLine = QFontMetrics(m_nameFont).height();
    m_badgeHeight = QFontMetrics(m_badgeFont).height() + 2 * kBadgeVerticalPadding;
    m_folderLine = QFontMetrics(m_folderFont).height();
    m_rowHeight = 2 * (kRowVerticalInset + kPadding) + std::max(m_nameLine, m_badgeHeight) +
                  kLineSpacing + m_folderLine;
}

QString FileRowDelegate::dateText(qint64 msSinceEpoch)
{
    return QDateTime::fromMSecsSinceEpoch(msSinceEpoch).toString(QStringLiteral("yyyy-MM-dd"));
}

FileRowDelegate::Layout FileRowDelegate::layout(const QRect& rect, const QModelIndex& index) const
{
    Layout l;
    const QRect content = rect.adjusted(kRowInset, 0, -kRowInset, 0);
    int left = content.left();
    int right = content.right() + 1;

    const FileCategory category =
        FileCategory::Value(index.data(FileListModel::CategoryRole).toInt());
    l.iconName = QString::fromLatin1(category.icon());
    l.color = category.color();
    l.icon = QRect(left + (kIconBox - m_iconExtent) / 2, rect.center().y() - m_iconExtent / 2 + 1,
                   m_iconExtent, m_iconExtent);
    left += kIconBox + kSpacing;

    const QFontMetrics sizeMetrics(m_sizeFont);
    l.sizeText = FormatUtils::formatBytes(index.data(FileListModel::SizeRole).toLongLong());
    l.size = QRect(right - kSizeBox, rect.top(), kSizeBox, rect.height());
    right -= kSizeBox + kSpacing;

    const QVariant date = index.data(FileListModel::DateRole);
    if (m_showModifiedDate && date.isValid()) {
        l.dateText = dateText(date.toLongLong());
        const int width = QFontMetrics(m_dateFont).horizontalAdvance(l.dateText) + 1;
        l.date = QRect(right - width, rect.top(), width, rect.height());
        right -= width + kSpacing;
    }

    // The name and the folder below it, centred as a block.
    const int column = std::max(0, right - left);
    const int firstLine = std::max(m_nameLine, m_badgeHeight);
    const int top = rect.top() + (rect.height() - (firstLine + kLineSpacing + m_folderLine)) / 2;
    int badgeWidth = 0;
    if (m_showCategory) {
        l.badgeText = category.localizedName();
        badgeWidth = std::min(column, QFontMetrics(m_badgeFont).horizontalAdvance(l.badgeText) + 1 +
                                          2 * kBadgeHorizontalPadding);
    }
    const QFontMetrics nameMetrics(m_nameFont);
    const QString name = index.data(Qt::DisplayRole).toString();
    const int nameRoom = std::max(0, column - (badgeWidth ? badgeWidth + kBadgeSpacing : 0));
    const int nameWidth = std::min(nameRoom, nameMetrics.horizontalAdvance(name) + 1);
    l.nameText = nameMetrics.elidedText(name, Qt::ElideRight, nameWidth);
    l.name = QRect(left, top + (firstLine - m_nameLine) / 2, nameWidth, m_nameLine);
    if (badgeWidth) {
        const int badgeLeft = nameWidth ? l.name.right() + 1 + kBadgeSpacing : left;
        l.badge =
            QRect(badgeLeft, top + (firstLine - m_badgeHeight) / 2, badgeWidth, m_badgeHeight);
        l.badgeText =
            QFontMetrics(m_badgeFont)
                .elidedText(l.badgeText, Qt::ElideRight, badgeWidth - 2 * kBadgeHorizontalPadding);
    }
    l.folder = QRect(left, top + firstLine + kLineSpacing, column, m_folderLine);
    l.folderText =
        QFontMetrics(m_folderFont)
            .elidedText(index.data(FileListModel::FolderRole).toString(), Qt::ElideLeft, column);
    return l;
}

void FileRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    opt.icon = QIcon();
    const ItemRow row(painter, opt);
    const Layout l = layout(opt.rect, index);
    const bool selected = row.isSelected();
    const QColor text = row.text();

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QPixmap icon = Icons::pixmap(l.iconName, m_iconExtent, selected ? text : row.color(l.color),
                                       painter->device()->devicePixelRatioF());
    painter->drawPixmap(l.icon.topLeft(), icon);

    painter->setPen(text);
    painter->setFont(m_nameFont);
    painter->drawText(l.name, Qt::AlignLeft | Qt::AlignVCenter, l.nameText);

    if (!l.badge.isEmpty()) {
        const QColor badge = selected ? text : row.color(l.color);
        painter->setPen(Qt::NoPen);
        painter->setBrush(Colors::withOpacity(badge, selected ? 0.2 : 0.1));
        const qreal radius = l.badge.height() / 2.0;
        painter->drawRoundedRect(QRectF(l.badge), radius, radius);
        painter->setPen(badge);
        painter->setFont(m_badgeFont);
        painter->drawText(l.badge, Qt::AlignCenter, l.badgeText);
    }

    painter->setPen(row.color(ColorToken::tertiary));
    painter->setFont(m_folderFont);
    painter->drawText(l.folder, Qt::AlignLeft | Qt::AlignVCenter, l.folderText);

    if (!l.date.isEmpty()) {
        painter->setPen(row.color(ColorToken::secondary));
        painter->setFont(m_dateFont);
        painter->drawText(l.date, Qt::AlignRight | Qt::AlignVCenter, l.dateText);
    }

    painter->setPen(text);
    painter->setFont(m_sizeFont);
    painter->drawText(l.size, Qt::AlignRight | Qt::AlignVCenter, l.sizeText);
    row.drawFocus();
    painter->restore();
}

QSize FileRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return {std::max(option.rect.width(), 0), m_rowHeight};
}

} // namespace plenvo
