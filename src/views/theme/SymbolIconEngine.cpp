#include "theme/SymbolIconEngine.h"

#include "theme/Colors.h"
#include "theme/Icons.h"

#include <QPaintDevice>
#include <QPainter>

namespace plenvo {

namespace {

// Opacity of a disabled icon relative to its colour.
constexpr qreal kDisabledOpacity = 0.35;

} // namespace

SymbolIconEngine::SymbolIconEngine(const QString& name, const QColor& color)
    : m_name(name), m_color(color)
{
}

SymbolIconEngine::SymbolIconEngine(const QString& name, ColorToken token)
    : m_name(name), m_token(token)
{
}

void SymbolIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                             QIcon::State state)
{
    const int extent = qMin(rect.width(), rect.height());
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QPixmap symbol = render(extent, ratio, mode, state);
    if (symbol.isNull())
        return;
    const QPoint topLeft(rect.x() + (rect.width() - extent) / 2,
                         rect.y() + (rect.height() - extent) / 2);
    painter->drawPixmap(topLeft, symbol);
}

QSize SymbolIconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State)
{
    const int extent = qMin(size.width(), size.height());
    return {extent, extent};
}

QPixmap SymbolIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    return render(qMin(size.width(), size.height()), 1.0, mode, state);
}

QPixmap SymbolIconEngine::scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                                       qreal scale)
{
    // `size` is in device pixels here.
    if (scale <= 0)
        scale = 1.0;
    const int extent = qRound(qMin(size.width(), size.height()) / scale);
    return render(extent, scale, mode, state);
}

QIconEngine* SymbolIconEngine::clone() const
{
    return new SymbolIconEngine(*this);
}

QString SymbolIconEngine::key() const
{
    return QStringLiteral("plenvo.symbol");
}

QString SymbolIconEngine::iconName()
{
    return m_name;
}

bool SymbolIconEngine::isNull()
{
    return !Icons::contains(m_name);
}

QPixmap SymbolIconEngine::render(int extent, qreal devicePixelRatio, QIcon::Mode mode,
                                 QIcon::State state) const
{
    const Icons::Variant variant =
        state == QIcon::On ? Icons::Variant::filled : Icons::Variant::plain;
    return Icons::pixmap(m_name, extent, colorFor(mode), devicePixelRatio, variant);
}

QColor SymbolIconEngine::colorFor(QIcon::Mode mode) const
{
    const QColor base = m_token ? Colors::color(*m_token) : m_color;
    return mode == QIcon::Disabled ? Colors::withOpacity(base, kDisabledOpacity) : base;
}

} // namespace plenvo
