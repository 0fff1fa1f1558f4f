#include "ProportionBar.h"

#include "Colors.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace plenvo {

ProportionBar::ProportionBar(int height, qreal radius, ColorToken color, qreal minimumFill,
                             QWidget* parent)
    : QWidget(parent), m_height(height), m_radius(radius), m_color(color),
      m_minimumFill(minimumFill)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(height);
    setFraction(0);
}

void ProportionBar::setFraction(double fraction)
{
    m_fraction = std::isfinite(fraction) ? fraction : 0.0;
    // The share drawn, which never exceeds the track.
    setAccessibleName(QString::number(qRound(std::clamp(m_fraction, 0.0, 1.0) * 100)) +
                      QLatin1Char('%'));
    update();
}

void ProportionBar::setColor(ColorToken color)
{
    m_color = color;
    update();
}

qreal ProportionBar::fillWidth() const
{
    const qreal track = width();
    return std::min(track, std::max(m_minimumFill, track * std::max(0.0, m_fraction)));
}

QSize ProportionBar::sizeHint() const
{
    return {120, m_height};
}

QSize ProportionBar::minimumSizeHint() const
{
    return {0, m_height};
}

void ProportionBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QRectF track(rect());
    painter.setBrush(Colors::color(ColorToken::gray, palette(), 0.12));
    painter.drawRoundedRect(track, m_radius, m_radius);
    const qreal fill = fillWidth();
    if (fill <= 0)
        return;
    painter.setBrush(Colors::color(m_color, palette()));
    painter.drawRoundedRect(QRectF(0, 0, fill, track.height()), std::min(m_radius, fill / 2),
                            m_radius);
}

} // namespace plenvo
