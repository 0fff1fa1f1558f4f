#include "ActivitySpinner.h"

#include "theme/Colors.h"

#include <QPainter>

namespace plenvo {

ActivitySpinner::ActivitySpinner(int diameter, QWidget* parent)
    : QWidget(parent), m_diameter(diameter)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_animation.setStartValue(0.0);
    m_animation.setEndValue(360.0);
    m_animation.setDuration(900);
    m_animation.setLoopCount(-1);
    connect(&m_animation, &QVariantAnimation::valueChanged, this, [this] { update(); });
}

void ActivitySpinner::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_animation.start();
}

void ActivitySpinner::hideEvent(QHideEvent* event)
{
    m_animation.stop();
    QWidget::hideEvent(event);
}

void ActivitySpinner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal pen = std::max(2.0, m_diameter / 10.0);
    const QRectF box = QRectF(rect()).adjusted(pen, pen, -pen, -pen);
    painter.setPen(QPen(Colors::color(ColorToken::quaternary, palette()), pen));
    painter.drawEllipse(box);
    painter.setPen(
        QPen(Colors::color(ColorToken::secondary, palette()), pen, Qt::SolidLine, Qt::RoundCap));
    const int start = int(-m_animation.currentValue().toDouble() * 16);
    painter.drawArc(box, start, 100 * 16);
}

} // namespace plenvo
