#include "RoundedPanel.h"

#include "Colors.h"

#include <QPainter>

namespace plenvo {

RoundedPanel::RoundedPanel(QWidget* parent, qreal radius, ColorToken fill, qreal opacity)
    : QWidget(parent), m_radius(radius), m_fill(fill), m_opacity(opacity)
{
}

void RoundedPanel::setFill(ColorToken fill, qreal opacity)
{
    if (fill == m_fill && opacity == m_opacity)
        return;
    m_fill = fill;
    m_opacity = opacity;
    update();
}

void RoundedPanel::paintEvent(QPaintEvent*)
{
    if (m_opacity <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Colors::color(m_fill, palette(), m_opacity));
    painter.drawRoundedRect(QRectF(rect()), m_radius, m_radius);
}

} // namespace plenvo
