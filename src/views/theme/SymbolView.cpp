#include "SymbolView.h"

#include "Colors.h"

#include <QPainter>

namespace plenvo {

SymbolView::SymbolView(const QString& name, int extent, ColorToken color, QWidget* parent)
    : QWidget(parent), m_name(name), m_extent(extent), m_color(color)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleDescription(name); // the symbol shown; owners may name what it stands for
}

void SymbolView::setSymbol(const QString& name, ColorToken color)
{
    if (name == m_name && color == m_color)
        return;
    m_name = name;
    m_color = color;
    update();
}

void SymbolView::paintEvent(QPaintEvent*)
{
    const QPixmap symbol =
        Icons::pixmap(m_name, m_extent, Colors::color(m_color, palette()), devicePixelRatioF());
    if (symbol.isNull())
        return;
    QPainter painter(this);
    const QRect box = rect();
    painter.drawPixmap(box.x() + (box.width() - m_extent) / 2,
                       box.y() + (box.height() - m_extent) / 2, symbol);
}

} // namespace plenvo
