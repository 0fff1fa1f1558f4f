#include "OverlayCard.h"

#include "theme/Colors.h"

#include <QLinearGradient>
#include <QPainter>

namespace plenvo {

OverlayCard::OverlayCard(ColorToken tint, qreal tintOpacity, qreal shadowOpacity, int shadowRadius,
                         int shadowOffset, QWidget* parent)
    : QWidget(parent), m_tint(tint), m_tintOpacity(tintOpacity), m_shadowOpacity(shadowOpacity),
      m_shadowRadius(shadowRadius), m_shadowOffset(shadowOffset)
{
    setContentsMargins(0, 0, 0, shadowExtent());
}

void OverlayCard::setTint(ColorToken tint)
{
    m_tint = tint;
    update();
}

void OverlayCard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect strip = rect().adjusted(0, 0, 0, -shadowExtent());
    // The window's own background (the "material"), then the tint over it.
    painter.fillRect(strip, palette().color(QPalette::Window));
    painter.fillRect(strip, Colors::color(m_tint, palette(), m_tintOpacity));
    QLinearGradient shadow(0, strip.bottom() + 1, 0, rect().bottom());
    shadow.setColorAt(0, QColor(0, 0, 0, int(255 * m_shadowOpacity)));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    painter.fillRect(QRect(0, strip.bottom() + 1, width(), shadowExtent()), shadow);
}

} // namespace plenvo
