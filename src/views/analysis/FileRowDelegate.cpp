#include "FileRowDelegate.h"

#include "FileListModel.h"
#include "models/FileCategory.h"
#include "theme/Colors.h"
#include "theme/Icons.h"
#include "theme/ItemRow.h"
#include "theme/TextStyles.h"
#include "utils/FormatUtils.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDateTime>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

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
// The name keeps at least this many average characters before the date, then the badge, make
// room for it.
constexpr int kNameCharacters = 10;

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
    m_minimumNameWidth = QFontMetrics(m_nameFont).averageCharWidth() * kNameCharacters;
    // Keyboard work shows where the focus is; a click does not need to (see paint()).
    if (auto* view = qobject_cast<QAbstractItemView*>(parent)) {
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
    }
}

int FileRowDelegate::minimumRowWidth() const
{
    return 2 * kRowInset + kIconBox + kSpacing + m_minimumNameWidth + kSpacing + kSizeBox;
}

bool FileRowDelegate::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress)
        m_keyboardFocus = true;
    else if (event->type() == QEvent::MouseButtonPress)
        m_keyboardFocus = false;
    // Not the base class's filter: it takes what it watches for an editor.
    return QObject::eventFilter(watched, event);
}

bool FileRowDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    // The whole path, only where the row shows less of it than there is.
    const Layout l = layout(option.rect, index);
    const bool elided = l.nameText != index.data(Qt::DisplayRole).toString() ||
                        l.folderText != index.data(FileListModel::FolderRole).toString();
    if (!elided) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QToolTip::showText(event->globalPos(), index.data(Qt::ToolTipRole).toString(), view,
                       option.rect);
    return true;
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

    l.sizeText = FormatUtils::formatBytes(index.data(FileListModel::SizeRole).toLongLong());
    // Never over the icon, however narrow the row.
    const int sizeLeft = std::max(left, right - kSizeBox);
    l.size = QRect(sizeLeft, rect.top(), right - sizeLeft, rect.height());
    right = sizeLeft - kSpacing;

    // The badge's width, whole.
    const QString badge = m_showCategory ? category.localizedName() : QString();
    const int badgeNeeds = m_showCategory ? QFontMetrics(m_badgeFont).horizontalAdvance(badge) + 1 +
                                                2 * kBadgeHorizontalPadding
                                          : 0;

    // The date only where the name keeps its room beside it, and the badge too: the date goes
    // first.
    const QVariant date = index.data(FileListModel::DateRole);
    if (m_showModifiedDate && date.isValid()) {
        const QString text = dateText(date.toLongLong());
        const int width = QFontMetrics(m_dateFont).horizontalAdvance(text) + 1;
        const int nameNeeds = m_minimumNameWidth + (badgeNeeds ? badgeNeeds + kBadgeSpacing : 0);
        if (right - width - kSpacing - left >= nameNeeds) {
            l.dateText = text;
            l.date = QRect(right - width, rect.top(), width, rect.height());
            right -= width + kSpacing;
        }
    }

    // The name and the folder below it, centred as a block.
    const int column = std::max(0, right - left);
    const int firstLine = std::max(m_nameLine, m_badgeHeight);
    const int top = rect.top() + (rect.height() - (firstLine + kLineSpacing + m_folderLine)) / 2;
    // The badge only where the name keeps its room beside it.
    int badgeWidth = 0;
    if (badgeNeeds && column - badgeNeeds - kBadgeSpacing >= m_minimumNameWidth) {
        l.badgeText = badge;
        badgeWidth = badgeNeeds;
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
    const QPixmap icon =
        Icons::pixmap(l.iconName, m_iconExtent, selected ? text : Colors::color(l.color, opt.palette),
                      painter->device()->devicePixelRatioF());
    painter->drawPixmap(l.icon.topLeft(), icon);

    painter->setPen(text);
    painter->setFont(m_nameFont);
    painter->drawText(l.name, Qt::AlignLeft | Qt::AlignVCenter, l.nameText);

    if (!l.badge.isEmpty()) {
        const QColor badge = selected ? text : row.color(l.color);
        painter->setPen(Qt::NoPen);
        painter->setBrush(selected ? Colors::withOpacity(text, 0.2)
                                   : Colors::color(l.color, opt.palette, 0.1));
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
    row.drawFocus(m_keyboardFocus);
    painter->restore();
}

QSize FileRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return {std::max(option.rect.width(), 0), m_rowHeight};
}

} // namespace plenvo
