#include "theme/Colors.h"

#include <QGuiApplication>

#include <algorithm>

namespace plenvo {

namespace {

struct Pair {
    QRgb light;
    QRgb dark;
};

// The accents: vivid system-style hues, a little lighter on dark backgrounds so they keep
// their contrast there.
Pair accent(ColorToken token)
{
    switch (token) {
    case ColorToken::blue:
        return {0xFF007AFF, 0xFF0A84FF};
    case ColorToken::orange:
        return {0xFFFF9500, 0xFFFF9F0A};
    case ColorToken::purple:
        return {0xFFAF52DE, 0xFFBF5AF2};
    case ColorToken::pink:
        return {0xFFFF2D55, 0xFFFF375F};
    case ColorToken::yellow:
        return {0xFFFFCC00, 0xFFFFD60A};
    case ColorToken::teal:
        return {0xFF30B0C7, 0xFF40C8E0};
    case ColorToken::indigo:
        return {0xFF5856D6, 0xFF5E5CE6};
    case ColorToken::gray:
        return {0xFF8E8E93, 0xFF8E8E93};
    case ColorToken::brown:
        return {0xFFA2845E, 0xFFAC8E68};
    case ColorToken::green:
        return {0xFF34C759, 0xFF30D158};
    case ColorToken::red:
        return {0xFFFF3B30, 0xFFFF453A};
    case ColorToken::secondary:
    case ColorToken::tertiary:
    case ColorToken::quaternary:
        break;
    }
    return {0, 0};
}

bool isLabel(ColorToken token)
{
    return token == ColorToken::secondary || token == ColorToken::tertiary ||
           token == ColorToken::quaternary;
}

// Opacity of a dimmed label over the full foreground colour. Dark backgrounds need a touch
// more for the secondary label to stay readable.
qreal labelOpacity(ColorToken token, Colors::Scheme scheme)
{
    const bool dark = scheme == Colors::Scheme::dark;
    switch (token) {
    case ColorToken::secondary:
        return dark ? 0.55 : 0.50;
    case ColorToken::tertiary:
        return dark ? 0.25 : 0.26;
    case ColorToken::quaternary:
        return 0.10;
    default:
        return 1.0;
    }
}

} // namespace

Colors::Scheme Colors::scheme(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightnessF() < 0.5 ? Scheme::dark : Scheme::light;
}

Colors::Scheme Colors::currentScheme()
{
    return scheme(QGuiApplication::palette());
}

QColor Colors::color(ColorToken token, Scheme scheme, qreal opacity)
{
    if (isLabel(token)) {
        const QColor foreground = scheme == Scheme::dark ? QColor(Qt::white) : QColor(Qt::black);
        return withOpacity(foreground, labelOpacity(token, scheme) * opacity);
    }
    const Pair pair = accent(token);
    return withOpacity(QColor::fromRgba(scheme == Scheme::dark ? pair.dark : pair.light), opacity);
}

QColor Colors::color(ColorToken token, const QPalette& palette, qreal opacity)
{
    const Scheme s = scheme(palette);
    if (isLabel(token))
        return withOpacity(palette.color(QPalette::WindowText), labelOpacity(token, s) * opacity);
    return color(token, s, opacity);
}

QColor Colors::color(ColorToken token, qreal opacity)
{
    return color(token, QGuiApplication::palette(), opacity);
}

QColor Colors::withOpacity(const QColor& color, qreal opacity)
{
    QColor result = color;
    result.setAlphaF(static_cast<float>(std::clamp(color.alphaF() * opacity, 0.0, 1.0)));
    return result;
}

} // namespace plenvo
