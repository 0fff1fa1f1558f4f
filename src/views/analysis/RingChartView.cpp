#include "RingChartView.h"

#include "theme/Colors.h"
#include "theme/Icons.h"
#include "theme/TextStyles.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <utility>

namespace plenvo {

namespace {

constexpr int kCenterSpacing = 2;
// The texts in the hole stay clear of the widest stroke.
constexpr qreal kCenterWidth = RingChartView::kBoxSize - 2 * RingGeometry::kSelectedLineWidth;

int extent()
{
    return RingChartView::kBoxSize + 2 * int(std::ceil(RingGeometry::overhang()));
}

} // namespace

RingChartView::RingChartView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ringChart"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setMouseTracking(true);
}

void RingChartView::setSlices(std::vector<RingSlice> slices)
{
    if (slices == m_slices)
        return;
    m_slices = std::move(slices);
    update();
}

void RingChartView::setSelectedCategory(std::optional<FileCategory> category)
{
    if (category == m_selected)
        return;
    m_selected = category;
    update();
}

void RingChartView::setCenter(const Center& center)
{
    m_center = center;
    setAccessibleName(center.value + QStringLiteral(", ") + center.caption);
    update();
}

QRectF RingChartView::ringBox() const
{
    return {(width() - kBoxSize) / 2.0, (height() - kBoxSize) / 2.0, qreal(kBoxSize),
            qreal(kBoxSize)};
}

std::optional<FileCategory> RingChartView::categoryAt(const QPointF& point) const
{
    return RingGeometry::categoryAt(m_slices, ringBox(), point, m_selected);
}

QSize RingChartView::sizeHint() const
{
    return {extent(), extent()};
}

QSize RingChartView::minimumSizeHint() const
{
    return {kBoxSize, extent()};
}

void RingChartView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = ringBox();
    for (const RingSlice& slice : m_slices) {
        if (slice.isEmpty())
            continue;
        const RingGeometry::Arc arc = RingGeometry::arc(slice);
        QPainterPath path;
        path.arcMoveTo(box, arc.startDegrees);
        path.arcTo(box, arc.startDegrees, arc.sweepDegrees);
        painter.strokePath(path, QPen(Colors::color(slice.category.color(), palette()),
                                      RingGeometry::lineWidth(slice.category, m_selected),
                                      Qt::SolidLine, Qt::FlatCap));
    }
    paintCenter(painter);
}

void RingChartView::paintCenter(QPainter& painter)
{
    const int iconExtent = Icons::extentFor(TextStyles::font(TextStyle::title2));
    const QFont valueFont =
        TextStyles::font(TextStyle::headline, {.weight = QFont::Bold, .rounded = true});
    const QFont captionFont = TextStyles::font(TextStyle::caption);
    const QFontMetricsF valueMetrics(valueFont);
    const QFontMetricsF captionMetrics(captionFont);
    const bool hasIcon = !m_center.icon.isEmpty();

    const qreal height = (hasIcon ? iconExtent + kCenterSpacing : 0) + valueMetrics.height() +
                         kCenterSpacing + captionMetrics.height();
    const QRectF box = ringBox();
    const qreal left = box.center().x() - kCenterWidth / 2;
    qreal y = box.center().y() - height / 2;
    if (hasIcon) {
        const QPixmap icon =
            Icons::pixmap(m_center.icon, iconExtent, Colors::color(m_center.iconColor, palette()),
                          devicePixelRatioF());
        painter.drawPixmap(QPointF(box.center().x() - iconExtent / 2.0, y), icon);
        y += iconExtent + kCenterSpacing;
    }
    const auto line = [&](const QString& text, const QFont& font, const QFontMetricsF& metrics,
                          const QColor& color) {
        painter.setFont(font);
        painter.setPen(color);
        const QRectF rect(left, y, kCenterWidth, metrics.height());
        painter.drawText(rect, Qt::AlignCenter,
                         metrics.elidedText(text, Qt::ElideRight, kCenterWidth));
        y += metrics.height() + kCenterSpacing;
    };
    line(m_center.value, valueFont, valueMetrics, palette().color(QPalette::WindowText));
    line(m_center.caption, captionFont, captionMetrics,
         Colors::color(ColorToken::secondary, palette()));
}

void RingChartView::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton ? categoryAt(event->position()) : std::nullopt;
    QWidget::mousePressEvent(event);
}

void RingChartView::mouseReleaseEvent(QMouseEvent* event)
{
    const std::optional<FileCategory> pressed = std::exchange(m_pressed, std::nullopt);
    if (event->button() == Qt::LeftButton && pressed && categoryAt(event->position()) == pressed)
        Q_EMIT categoryClicked(*pressed);
    QWidget::mouseReleaseEvent(event);
}

void RingChartView::mouseMoveEvent(QMouseEvent* event)
{
    if (categoryAt(event->position()))
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    QWidget::mouseMoveEvent(event);
}

} // namespace plenvo
