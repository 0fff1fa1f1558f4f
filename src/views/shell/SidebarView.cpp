#include "SidebarView.h"

#include "AppState.h"
#include "theme/Colors.h"
#include "theme/Icons.h"
#include "theme/TextStyles.h"
#include "utils/Localization.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>

namespace plenvo {

namespace {

constexpr int kSideInset = 10; // rows and headers keep this far from the widget's edges
constexpr int kTopInset = 8;
constexpr int kBottomInset = 10;
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

} // namespace

SidebarView::SidebarView(AppState& state, QWidget* parent) : QWidget(parent), m_state(state)
{
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);

    connect(&m_state, &AppState::scanResultChanged, this, &SidebarView::rebuildRows);
    connect(&m_state, &AppState::navigationSelectionChanged, this, [this] {
        followSelection();
        update();
    });
    rebuildRows();
}

std::vector<SidebarItem> SidebarView::shownItems() const
{
    std::vector<SidebarItem> items;
    for (const Row& row : m_rows)
        if (row.kind == RowKind::item)
            items.push_back(*row.item);
    return items;
}

QRect SidebarView::itemRect(SidebarItem item) const
{
    layoutRows();
    const int row = rowOf(item);
    return row < 0 ? QRect() : m_rows[size_t(row)].rect;
}

QRect SidebarView::newScanRect() const
{
    layoutRows();
    for (const Row& row : m_rows)
        if (row.kind == RowKind::newScan)
            return row.rect;
    return {};
}

std::optional<SidebarItem> SidebarView::highlightedItem() const
{
    const int row = selectedRow();
    return row < 0 ? std::nullopt : m_rows[size_t(row)].item;
}

QSize SidebarView::sizeHint() const
{
    return {220, contentHeight()};
}

QSize SidebarView::minimumSizeHint() const
{
    return {180, contentHeight()};
}

void SidebarView::rebuildRows()
{
    // The item under the keyboard cursor, as its value (-1 for none).
    const int cursorItem = m_cursor >= 0 && m_rows[size_t(m_cursor)].item
                               ? int(m_rows[size_t(m_cursor)].item->value())
                               : -1;
    const bool cursorOnNewScan = m_cursor >= 0 && m_rows[size_t(m_cursor)].kind == RowKind::newScan;

    m_rows.clear();
    m_rows.push_back({RowKind::header, L("sidebar.actions"), std::nullopt, {}});
    m_rows.push_back({RowKind::newScan, L("sidebar.newScan"), std::nullopt, {}});
    if (m_state.scanResult()) {
        for (SidebarItem item : SidebarItem::actionItems())
            if (item.isEnabled())
                m_rows.push_back({RowKind::item, item.localizedName(), item, {}});
        m_rows.push_back({RowKind::header, L("sidebar.views"), std::nullopt, {}});
        for (SidebarItem item : SidebarItem::viewItems())
            m_rows.push_back({RowKind::item, item.localizedName(), item, {}});
    }

    m_cursor = -1;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const Row& row = m_rows[i];
        if ((cursorOnNewScan && row.kind == RowKind::newScan) ||
            (cursorItem >= 0 && row.kind == RowKind::item && int(row.item->value()) == cursorItem))
            m_cursor = int(i);
    }
    m_pressedRow = -1;
    followSelection();
    layoutRows(true);
    updateGeometry();
    update();
}

int SidebarView::rowHeight() const
{
    return std::max(QFontMetrics(rowFont()).height(), iconExtent()) + 2 * kRowVerticalPadding;
}

int SidebarView::headerHeight() const
{
    return QFontMetrics(headerFont()).height() + kHeaderTopPadding;
}

void SidebarView::layoutRows(bool force) const
{
    if (!force && m_layoutWidth == width())
        return;
    m_layoutWidth = width();
    const int rowH = rowHeight();
    const int headerH = headerHeight();
    const int width = std::max(0, this->width() - 2 * kSideInset);
    int y = kTopInset;
    bool first = true;
    for (Row& row : m_rows) {
        if (row.kind == RowKind::header) {
            if (!first)
                y += kSectionGap;
            row.rect = QRect(kSideInset, y, width, headerH);
            y += headerH;
        } else {
            row.rect = QRect(kSideInset, y, width, rowH);
            y += rowH;
        }
        first = false;
    }
}

int SidebarView::contentHeight() const
{
    int height = kTopInset + kBottomInset;
    bool first = true;
    for (const Row& row : m_rows) {
        if (row.kind == RowKind::header)
            height += headerHeight() + (first ? 0 : kSectionGap);
        else
            height += rowHeight();
        first = false;
    }
    return height;
}

int SidebarView::rowAt(const QPoint& pos) const
{
    layoutRows();
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].rect.contains(pos))
            return int(i);
    return -1;
}

int SidebarView::rowOf(SidebarItem item) const
{
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].kind == RowKind::item && *m_rows[i].item == item)
            return int(i);
    return -1;
}

int SidebarView::selectedRow() const
{
    const std::optional<SidebarItem> selection = m_state.navigationSelection();
    return selection ? rowOf(*selection) : -1;
}

bool SidebarView::isActivatable(int row) const
{
    return row >= 0 && row < int(m_rows.size()) && m_rows[size_t(row)].kind != RowKind::header;
}

void SidebarView::moveCursor(int step)
{
    int row = m_cursor < 0 ? (step > 0 ? -1 : int(m_rows.size())) : m_cursor;
    for (row += step; row >= 0 && row < int(m_rows.size()); row += step) {
        if (isActivatable(row)) {
            moveCursorTo(row);
            return;
        }
    }
}

void SidebarView::moveCursorTo(int row)
{
    if (!isActivatable(row))
        return;
    m_cursor = row;
    if (m_rows[size_t(row)].kind == RowKind::item)
        m_state.setNavigationSelection(m_rows[size_t(row)].item);
    update();
}

void SidebarView::activate(int row)
{
    if (!isActivatable(row))
        return;
    const Row& target = m_rows[size_t(row)];
    if (target.kind == RowKind::newScan)
        m_state.setShowDirectoryPicker(true);
    else
        m_state.setNavigationSelection(target.item);
}

void SidebarView::followSelection()
{
    const int row = selectedRow();
    if (row >= 0)
        m_cursor = row;
}

void SidebarView::paintEvent(QPaintEvent*)
{
    layoutRows();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int selected = selectedRow();
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const Row& row = m_rows[i];
        if (row.kind == RowKind::header) {
            paintHeader(painter, row);
            continue;
        }
        paintRow(painter, row, int(i) == selected, int(i) == m_pressedRow && m_pressInside);
        // The keyboard cursor on a row that is not highlighted gets a focus ring.
        if (hasFocus() && int(i) == m_cursor && int(i) != selected) {
            painter.save();
            QPen pen(palette().color(QPalette::Highlight), 2);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(QRectF(row.rect).adjusted(1, 1, -1, -1), kCornerRadius,
                                    kCornerRadius);
            painter.restore();
        }
    }
}

void SidebarView::paintHeader(QPainter& painter, const Row& row) const
{
    painter.save();
    painter.setFont(headerFont());
    painter.setPen(Colors::color(ColorToken::secondary, palette()));
    const QRect textRect = row.rect.adjusted(kRowPadding, 0, -kRowPadding, 0);
    const QString text =
        QFontMetrics(painter.font()).elidedText(row.title, Qt::ElideRight, textRect.width());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignBottom, text);
    painter.restore();
}

void SidebarView::paintRow(QPainter& painter, const Row& row, bool selected, bool pressed) const
{
    painter.save();
    const bool emphasised = selected && hasFocus();
    if (selected) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(emphasised ? palette().color(QPalette::Highlight)
                                    : Colors::color(ColorToken::gray, palette(), 0.22));
        painter.drawRoundedRect(row.rect, kCornerRadius, kCornerRadius);
    }
    if (pressed)
        painter.setOpacity(kPressedOpacity);

    QColor textColor;
    QColor symbolColor;
    QString symbol;
    if (row.kind == RowKind::newScan) {
        textColor = symbolColor = Colors::color(ColorToken::blue, palette());
        symbol = QStringLiteral("plus.circle.fill");
    } else {
        textColor = palette().color(QPalette::WindowText);
        symbolColor = Colors::color(row.item->iconColor(), palette());
        symbol = QString::fromLatin1(row.item->icon());
    }
    if (emphasised)
        textColor = symbolColor = palette().color(QPalette::HighlightedText);

    const int boxWidth = iconBoxWidth();
    const QRect box(row.rect.left() + kRowPadding, row.rect.top(), boxWidth, row.rect.height());
    const int extent = iconExtent();
    const QPixmap pixmap = Icons::pixmap(symbol, extent, symbolColor, devicePixelRatioF());
    if (!pixmap.isNull())
        painter.drawPixmap(box.left() + (box.width() - extent) / 2,
                           box.top() + (box.height() - extent) / 2, pixmap);

    const QRect textRect(box.right() + 1 + kIconSpacing, row.rect.top(),
                         row.rect.right() - kRowPadding - kTrailingSpace -
                             (box.right() + kIconSpacing),
                         row.rect.height());
    painter.setFont(rowFont());
    painter.setPen(textColor);
    const QString text =
        QFontMetrics(painter.font()).elidedText(row.title, Qt::ElideRight, textRect.width());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, text);
    painter.restore();
}

void SidebarView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutRows();
}

void SidebarView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::ApplicationFontChange:
    case QEvent::StyleChange:
        layoutRows(true);
        updateGeometry();
        update();
        break;
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange:
        update();
        break;
    default:
        break;
    }
}

void SidebarView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int row = rowAt(event->position().toPoint());
    if (!isActivatable(row))
        return;
    if (m_rows[size_t(row)].kind == RowKind::newScan) {
        m_pressedRow = row;
        m_pressInside = true;
        update(m_rows[size_t(row)].rect);
    } else {
        moveCursorTo(row);
    }
}

void SidebarView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressedRow < 0)
        return;
    const bool inside = m_rows[size_t(m_pressedRow)].rect.contains(event->position().toPoint());
    if (inside != m_pressInside) {
        m_pressInside = inside;
        update(m_rows[size_t(m_pressedRow)].rect);
    }
}

void SidebarView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_pressedRow < 0) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const int row = m_pressedRow;
    const bool inside = m_rows[size_t(row)].rect.contains(event->position().toPoint());
    m_pressedRow = -1;
    m_pressInside = false;
    update(m_rows[size_t(row)].rect);
    if (inside)
        activate(row);
}

void SidebarView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        moveCursor(-1);
        break;
    case Qt::Key_Down:
        moveCursor(1);
        break;
    case Qt::Key_Home:
        m_cursor = -1;
        moveCursor(1);
        break;
    case Qt::Key_End:
        m_cursor = -1;
        moveCursor(-1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (m_cursor < 0) {
            QWidget::keyPressEvent(event);
            return;
        }
        activate(m_cursor);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void SidebarView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    if (m_cursor < 0) {
        const int selected = selectedRow();
        if (selected >= 0)
            m_cursor = selected;
        else
            for (size_t i = 0; i < m_rows.size() && m_cursor < 0; ++i)
                if (isActivatable(int(i)))
                    m_cursor = int(i);
    }
    update();
}

void SidebarView::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

} // namespace plenvo
