#include "TreemapCanvas.h"

#include "geometry/TreemapNavigation.h"
#include "models/FileCategory.h"
#include "theme/Colors.h"
#include "theme/Contrast.h"
#include "theme/TextStyles.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QByteArrayView>
#include <QEasingCurve>
#include <QFontMetricsF>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace plenvo {

namespace {

constexpr qreal kLabelPadding = 4.0;
constexpr qreal kLabelSpacing = 1.0;
constexpr qreal kSizeLabelOpacity = 0.8;
constexpr qreal kFocusRingWidth = 2.0;

} // namespace

TreemapCanvas::TreemapCanvas(QWidget* parent) : QWidget(parent), m_fade(new QVariantAnimation(this))
{
    setObjectName(QStringLiteral("treemapCanvas"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_fade->setDuration(kFadeMilliseconds);
    m_fade->setEasingCurve(QEasingCurve::InOutQuad);
    m_fade->setStartValue(0.0);
    m_fade->setEndValue(1.0);
    connect(m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_fadeProgress = value.toReal();
        update();
    });
    connect(m_fade, &QVariantAnimation::finished, this, [this] {
        m_fadeFrom.reset();
        m_fadeProgress = 1.0;
        update();
    });
}

void TreemapCanvas::setFolder(NodeRef folder, bool animated)
{
    m_fade->stop();
    // What is on screen now, mid-fade or not, is what fades out.
    if (animated && isVisible() && !size().isEmpty()) {
        m_fadeFrom = grab();
        m_fadeProgress = 0.0;
    } else {
        m_fadeFrom.reset();
        m_fadeProgress = 1.0;
    }
    m_folder = std::move(folder);
    m_pressed.reset();
    m_focused.reset();
    setAccessibleName(m_folder ? m_folder->name() : QString());
    contentChanged();
    if (hasFocus())
        setFocusedNode(std::nullopt); // the first tile of the new folder
    if (m_fadeFrom)
        m_fade->start();
}

void TreemapCanvas::contentChanged()
{
    m_layoutValid = false;
    update();
    if (m_focused && focusedIndex() < 0) // its tile went with the change
        setFocusedNode(std::nullopt);
}

int TreemapCanvas::focusedIndex() const
{
    if (!m_focused)
        return -1;
    const std::vector<TreemapTile>& all = tiles();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i].node->id() == *m_focused)
            return int(i);
    return -1;
}

void TreemapCanvas::setFocusedNode(const std::optional<NodeId>& id)
{
    const std::vector<TreemapTile>& all = tiles();
    std::optional<NodeId> target;
    for (const TreemapTile& tile : all)
        if (id && tile.node->id() == *id)
            target = id;
    // Without a tile to go to, the largest one.
    if (!target && !all.empty())
        target = all.front().node->id();
    if (target == m_focused)
        return;
    const std::optional<NodeId> previous = m_focused;
    m_focused = target;
    updateTile(previous);
    updateTile(m_focused);
    announceFocus();
}

QString TreemapCanvas::spokenText(const FileNode& node)
{
    const QString size = FormatUtils::formatBytes(node.cachedSize(), node.isIncomplete());
    return node.isDirectory() ? L("treemap.folderTile %@ %@", node.name(), size)
                              : L("treemap.fileTile %@ %@", node.name(), size);
}

void TreemapCanvas::announceFocus()
{
    // The area's name follows the focused tile; a change of name is announced.
    const int index = focusedIndex();
    if (index >= 0)
        setAccessibleName(spokenText(*tiles()[std::size_t(index)].node));
    else
        setAccessibleName(m_folder ? m_folder->name() : QString());
}

void TreemapCanvas::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    if (focusedIndex() < 0)
        setFocusedNode(std::nullopt);
    else
        announceFocus();
    updateTile(m_focused);
}

void TreemapCanvas::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    updateTile(m_focused);
}

void TreemapCanvas::keyPressEvent(QKeyEvent* event)
{
    using Direction = TreemapNavigation::Direction;
    std::optional<Direction> direction;
    switch (event->key()) {
    case Qt::Key_Left:
        direction = Direction::left;
        break;
    case Qt::Key_Right:
        direction = Direction::right;
        break;
    case Qt::Key_Up:
        direction = Direction::up;
        break;
    case Qt::Key_Down:
        direction = Direction::down;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const int index = focusedIndex();
        if (index < 0)
            break;
        const NodeRef node = tiles()[std::size_t(index)].node; // the tiles change on opening
        if (node->isDirectory())
            Q_EMIT folderClicked(node);
        else
            Q_EMIT fileClicked(node);
        return;
    }
    case Qt::Key_Backspace:
        Q_EMIT upRequested();
        return;
    default:
        break;
    }
    if (!direction) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int index = focusedIndex();
    if (index < 0) {
        setFocusedNode(std::nullopt);
        return;
    }
    std::vector<QRectF> cells;
    for (const TreemapTile& tile : tiles())
        cells.push_back(tile.rect);
    const int next = TreemapNavigation::neighbour(cells, index, *direction);
    if (next >= 0)
        setFocusedNode(tiles()[std::size_t(next)].node->id());
}

const std::vector<TreemapTile>& TreemapCanvas::tiles() const
{
    if (!m_layoutValid || m_laidOutSize != size()) {
        m_tiles = m_folder ? TreemapLayout::layout(*m_folder, QSizeF(size()))
                           : std::vector<TreemapTile>();
        m_laidOutSize = size();
        m_layoutValid = true;
        ++m_layoutCount;
    }
    return m_tiles;
}

QColor TreemapCanvas::colorFor(const FileNode& node, const QPalette& palette)
{
    if (!node.isDirectory())
        return Colors::color(FileCategory::of(node).color(), palette);
    const std::string_view name = node.nameBytes();
    const std::size_t hash = qHash(QByteArrayView(name.data(), qsizetype(name.size())), 0);
    const bool dark = Colors::scheme(palette) == Colors::Scheme::dark;
    return QColor::fromHsvF(float(hash % 360) / 360.0f, 0.45f, dark ? 0.55f : 0.65f);
}

TreemapCanvas::LabelColors TreemapCanvas::labelColors(const QColor& fill, const QColor& window)
{
    // Black or white, whichever reads better on the tile as it shows over the window; the size
    // a little fainter, as long as it keeps 4.5 : 1.
    const QColor tile = Contrast::over(fill, window);
    const QColor name = Contrast::labelOn(tile);
    const QColor size = Colors::withOpacity(name, kSizeLabelOpacity);
    const bool fainterReads = Contrast::ratio(Contrast::over(size, tile), tile) >= Contrast::kText;
    return {name, fainterReads ? size : name};
}

QString TreemapCanvas::emptyText()
{
    return L("treemap.empty");
}

bool TreemapCanvas::showsName(const QRectF& cell)
{
    return cell.width() > kLabelMinWidth && cell.height() > kLabelMinHeight;
}

bool TreemapCanvas::showsSize(const QRectF& cell)
{
    return showsName(cell) && cell.height() > kSizeLabelMinHeight;
}

const TreemapTile* TreemapCanvas::tileAt(const QPointF& point) const
{
    const std::vector<TreemapTile>& all = tiles();
    const int index = TreemapLayout::tileAt(all, point);
    return index < 0 ? nullptr : &all[std::size_t(index)];
}

void TreemapCanvas::setHovered(const std::optional<NodeId>& id)
{
    if (id == m_hovered)
        return;
    const std::optional<NodeId> previous = m_hovered;
    m_hovered = id;
    updateTile(previous);
    updateTile(m_hovered);
}

void TreemapCanvas::updateTile(const std::optional<NodeId>& id)
{
    if (!id || !m_layoutValid)
        return;
    for (const TreemapTile& tile : m_tiles) {
        if (tile.node->id() == *id) {
            update(TreemapLayout::tileRect(tile.rect).toAlignedRect().adjusted(-1, -1, 1, 1));
            return;
        }
    }
}

void TreemapCanvas::mouseMoveEvent(QMouseEvent* event)
{
    const TreemapTile* tile = tileAt(event->position());
    setHovered(tile ? std::optional<NodeId>(tile->node->id()) : std::nullopt);
}

void TreemapCanvas::leaveEvent(QEvent*)
{
    setHovered(std::nullopt);
}

void TreemapCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const TreemapTile* tile = tileAt(event->position());
    m_pressed = tile ? std::optional<NodeId>(tile->node->id()) : std::nullopt;
}

void TreemapCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const TreemapTile* tile = tileAt(event->position());
    const bool clicked = tile && m_pressed == tile->node->id();
    m_pressed.reset();
    if (!clicked)
        return;
    const NodeRef node = tile->node; // the tiles change when a folder opens
    if (node->isDirectory())
        Q_EMIT folderClicked(node);
    else
        Q_EMIT fileClicked(node);
}

void TreemapCanvas::contextMenuEvent(QContextMenuEvent* event)
{
    const TreemapTile* tile =
        event->reason() == QContextMenuEvent::Mouse ? tileAt(event->pos()) : nullptr;
    if (!tile) {
        event->ignore();
        return;
    }
    event->accept();
    const NodeRef node = tile->node;
    Q_EMIT menuRequested(node, event->globalPos());
}

void TreemapCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setClipRegion(event->region());
    if (m_fadeFrom) {
        painter.setOpacity(1.0 - m_fadeProgress);
        painter.drawPixmap(0, 0, *m_fadeFrom);
        painter.setOpacity(m_fadeProgress);
    }
    paintTiles(painter);
}

void TreemapCanvas::paintTiles(QPainter& painter) const
{
    const std::vector<TreemapTile>& all = tiles();
    if (all.empty()) {
        // Say what is there rather than leave the area blank.
        if (m_folder) {
            painter.setFont(TextStyles::font(TextStyle::callout));
            painter.setPen(Colors::textColor(ColorToken::secondary, palette()));
            painter.drawText(rect().adjusted(16, 16, -16, -16), Qt::AlignCenter | Qt::TextWordWrap,
                             emptyText());
        }
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& colors = palette();
    const QPen border(Colors::withOpacity(colors.color(QPalette::Window), kBorderOpacity), 1.0);
    const QFont nameFont = TextStyles::font(TextStyle::caption2);
    const QFont sizeFont = TextStyles::font(TextStyle::caption2, {.monospacedDigits = true});
    const QFontMetricsF nameMetrics(nameFont);
    const QFontMetricsF sizeMetrics(sizeFont);
    const QRectF exposed = painter.clipBoundingRect();
    const bool focused = hasFocus();

    for (const TreemapTile& tile : all) {
        const QRectF shape = TreemapLayout::tileRect(tile.rect);
        if (!exposed.isEmpty() && !exposed.intersects(shape))
            continue;
        const bool hovered = m_hovered == tile.node->id();
        const QColor fill = Colors::withOpacity(colorFor(*tile.node, colors),
                                                hovered ? kHoveredFillOpacity : kFillOpacity);
        QPainterPath path;
        path.addRoundedRect(shape, kCornerRadius, kCornerRadius);
        painter.fillPath(path, fill);
        // The border lies inside the edge: a 1-point line half a point in.
        painter.setPen(border);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(shape.adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius - 0.5,
                                kCornerRadius - 0.5);
        if (focused && m_focused == tile.node->id()) {
            // A ring in the selection colour, lined inside with black or white so that it
            // shows on any fill.
            painter.setPen(QPen(colors.color(QPalette::Highlight), kFocusRingWidth));
            const qreal inset = kFocusRingWidth / 2;
            painter.drawRoundedRect(shape.adjusted(inset, inset, -inset, -inset), kCornerRadius,
                                    kCornerRadius);
            painter.setPen(
                QPen(Contrast::labelOn(Contrast::over(fill, colors.color(QPalette::Window))), 1.0));
            const qreal inner = kFocusRingWidth + 0.5;
            painter.drawRoundedRect(shape.adjusted(inner, inner, -inner, -inner), kCornerRadius,
                                    kCornerRadius);
        }

        if (!showsName(tile.rect))
            continue;
        const bool withSize = showsSize(tile.rect);
        const QRectF box =
            shape.adjusted(kLabelPadding, kLabelPadding, -kLabelPadding, -kLabelPadding);
        const qreal height =
            nameMetrics.height() + (withSize ? kLabelSpacing + sizeMetrics.height() : 0.0);
        const qreal top = box.center().y() - height / 2;
        const LabelColors label = labelColors(fill, colors.color(QPalette::Window));
        painter.setFont(nameFont);
        painter.setPen(label.name);
        painter.drawText(QRectF(box.left(), top, box.width(), nameMetrics.height()),
                         Qt::AlignCenter,
                         nameMetrics.elidedText(tile.node->name(), Qt::ElideRight, box.width()));
        if (!withSize)
            continue;
        painter.setFont(sizeFont);
        painter.setPen(label.size);
        painter.drawText(
            QRectF(box.left(), top + nameMetrics.height() + kLabelSpacing, box.width(),
                   sizeMetrics.height()),
            Qt::AlignCenter,
            sizeMetrics.elidedText(FormatUtils::formatBytesCompact(tile.node->cachedSize(),
                                                                   tile.node->isIncomplete()),
                                   Qt::ElideRight, box.width()));
    }
}

} // namespace plenvo
