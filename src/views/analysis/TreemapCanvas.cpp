#include "TreemapCanvas.h"

#include "models/FileCategory.h"
#include "theme/Colors.h"
#include "theme/Contrast.h"
#include "theme/TextStyles.h"
#include "utils/FormatUtils.h"

#include <QByteArrayView>
#include <QEasingCurve>
#include <QFontMetricsF>
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

} // namespace

TreemapCanvas::TreemapCanvas(QWidget* parent) : QWidget(parent), m_fade(new QVariantAnimation(this))
{
    setObjectName(QStringLiteral("treemapCanvas"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMouseTracking(true);
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
    setAccessibleName(m_folder ? m_folder->name() : QString());
    contentChanged();
    if (m_fadeFrom)
        m_fade->start();
}

void TreemapCanvas::contentChanged()
{
    m_layoutValid = false;
    update();
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
    if (all.empty())
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& colors = palette();
    const QPen border(Colors::withOpacity(colors.color(QPalette::Window), kBorderOpacity), 1.0);
    const QFont nameFont = TextStyles::font(TextStyle::caption2);
    const QFont sizeFont = TextStyles::font(TextStyle::caption2, {.monospacedDigits = true});
    const QFontMetricsF nameMetrics(nameFont);
    const QFontMetricsF sizeMetrics(sizeFont);
    const QRectF exposed = painter.clipBoundingRect();

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
            sizeMetrics.elidedText(FormatUtils::formatBytesCompact(tile.node->cachedSize()),
                                   Qt::ElideRight, box.width()));
    }
}

} // namespace plenvo
