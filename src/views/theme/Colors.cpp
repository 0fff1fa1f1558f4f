#include "theme/Colors.h"

#include "theme/Contrast.h"
#include "theme/Palettes.h"

#include <QGuiApplication>
#include <QHash>
#include <QPair>

#include <functional>
#include <vector>

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

// The contrast a dimmed label keeps against every surface.
double labelContrast(ColorToken token)
{
    switch (token) {
    case ColorToken::secondary:
        return 6.5;
    case ColorToken::tertiary:
        return 4.6;
    default:
        return Contrast::kLarge;
    }
}

constexpr double kTextContrast = 4.6; // a little above what text needs: rounding stays clear
constexpr double kDividerContrast = 1.8;
constexpr qreal kPanelOpacity = 0.12;
constexpr qreal kTintOpacity = 0.12;

// Solving for a colour takes a few hundred luminance computations; the answers are kept per
// palette (by its cache key) and token. Views paint on the user-interface thread only.
QColor cached(const QPalette& palette, int slot, const std::function<QColor()>& compute)
{
    static QHash<QPair<qint64, int>, QColor> cache;
    const QPair<qint64, int> key(palette.cacheKey(), slot);
    if (const auto found = cache.constFind(key); found != cache.constEnd())
        return *found;
    if (cache.size() > 512)
        cache.clear();
    return *cache.insert(key, compute());
}

QColor accentColor(ColorToken token, Colors::Scheme scheme)
{
    const Pair pair = accent(token);
    return QColor::fromRgba(scheme == Colors::Scheme::dark ? pair.dark : pair.light);
}

QPalette paletteFor(Colors::Scheme scheme)
{
    return scheme == Colors::Scheme::dark ? Palettes::dark() : Palettes::light();
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
        static const QPalette light = paletteFor(Scheme::light), dark = paletteFor(Scheme::dark);
        return color(token, scheme == Scheme::dark ? dark : light, opacity);
    }
    return withOpacity(accentColor(token, scheme), opacity);
}

QColor Colors::color(ColorToken token, const QPalette& palette, qreal opacity)
{
    if (!isLabel(token))
        return color(token, scheme(palette), opacity);
    const QColor label = cached(palette, int(token), [&] {
        const std::array<QColor, 5> on = surfaces(palette);
        return Contrast::faintest(palette.color(QPalette::WindowText),
                                  palette.color(QPalette::Window), on, labelContrast(token));
    });
    return withOpacity(label, opacity);
}

QColor Colors::color(ColorToken token, qreal opacity)
{
    return color(token, QGuiApplication::palette(), opacity);
}

QColor Colors::textColor(ColorToken token, const QPalette& palette)
{
    if (isLabel(token))
        return color(token, palette);
    return cached(palette, 100 + int(token), [&] {
        const QColor accent = color(token, palette);
        // The surfaces, and the accent's own tint over the window and the base.
        std::vector<QColor> backgrounds;
        for (const QColor& surface : surfaces(palette))
            backgrounds.push_back(surface);
        for (auto role : {QPalette::Window, QPalette::Base})
            backgrounds.push_back(
                Contrast::over(withOpacity(accent, kTintOpacity), palette.color(role)));
        return Contrast::readable(accent, backgrounds, kTextContrast);
    });
}

QColor Colors::textColor(ColorToken token)
{
    return textColor(token, QGuiApplication::palette());
}

QColor Colors::divider(const QPalette& palette)
{
    return cached(palette, 200, [&] {
        const QColor on[] = {palette.color(QPalette::Window), palette.color(QPalette::Base)};
        return Contrast::faintest(palette.color(QPalette::WindowText),
                                  palette.color(QPalette::Window), on, kDividerContrast);
    });
}

std::array<QColor, 5> Colors::surfaces(const QPalette& palette)
{
    const QColor window = palette.color(QPalette::Window);
    const QColor base = palette.color(QPalette::Base);
    const QColor gray = color(ColorToken::gray, scheme(palette), kPanelOpacity);
    return {window, base, Contrast::over(gray, window), Contrast::over(gray, base),
            palette.color(QPalette::Button)};
}

QColor Colors::withOpacity(const QColor& color, qreal opacity)
{
    QColor result = color;
    result.setAlphaF(static_cast<float>(std::clamp(color.alphaF() * opacity, 0.0, 1.0)));
    return result;
}

} // namespace plenvo
