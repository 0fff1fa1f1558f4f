#include "ToolbarSurface.h"

#include <QPainter>

namespace plenvo {

ToolbarSurface::ToolbarSurface(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QColor ToolbarSurface::color(const QPalette& palette)
{
    const QColor window = palette.color(QPalette::Window);
    const QColor text = palette.color(QPalette::WindowText);
    // 4 % of the text colour over the window: a faint material tint in light and dark.
    constexpr qreal kTint = 0.04;
    return QColor::fromRgbF(window.redF() + (text.redF() - window.redF()) * kTint,
                            window.greenF() + (text.greenF() - window.greenF()) * kTint,
                            window.blueF() + (text.blueF() - window.blueF()) * kTint);
}

void ToolbarSurface::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), color(palette()));
}

} // namespace plenvo
