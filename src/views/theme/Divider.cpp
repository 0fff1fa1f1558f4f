#include "theme/Divider.h"

#include "theme/Colors.h"

#include <QPainter>

namespace plenvo {

Divider::Divider(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), m_orientation(orientation)
{
    setObjectName(QStringLiteral("divider"));
    if (orientation == Qt::Horizontal) {
        setFixedHeight(1);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    } else {
        setFixedWidth(1);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    }
}

void Divider::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), Colors::divider(palette()));
}

} // namespace plenvo
