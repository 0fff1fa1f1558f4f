#include "theme/Contrast.h"

#include <algorithm>
#include <cmath>

namespace plenvo {

namespace {

// Steps of the searches below: 2^-16 of the way is far below one step of an 8-bit channel.
constexpr int kSearchSteps = 16;

double linear(float channel)
{
    const double c = channel;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

QColor opaque(const QColor& color)
{
    QColor result = color.toRgb();
    result.setAlpha(255);
    return result;
}

// The colour `t` of the way from `from` to `to` (0: from, 1: to), channel by channel; mixing
// with black or white this way keeps the hue.
QColor mix(const QColor& from, const QColor& to, double t)
{
    const auto channel = [t](float a, float b) {
        return float(std::clamp(double(a) + (double(b) - double(a)) * t, 0.0, 1.0));
    };
    return QColor::fromRgbF(channel(from.redF(), to.redF()), channel(from.greenF(), to.greenF()),
                            channel(from.blueF(), to.blueF()));
}

// The smallest t in [0, 1] for which `reaches(t)` holds, given that it holds for every t
// above one that does; 1 when only the end does (or nothing does).
template <class Predicate> double smallestReaching(Predicate reaches)
{
    if (reaches(0.0))
        return 0.0;
    double low = 0.0, high = 1.0;
    for (int step = 0; step < kSearchSteps; ++step) {
        const double middle = (low + high) / 2;
        (reaches(middle) ? high : low) = middle;
    }
    return high;
}

} // namespace

double Contrast::luminance(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

double Contrast::ratio(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double Contrast::lowestRatio(const QColor& color, std::span<const QColor> backgrounds)
{
    double lowest = 21.0;
    for (const QColor& background : backgrounds)
        lowest = std::min(lowest, ratio(color, background));
    return lowest;
}

QColor Contrast::over(const QColor& top, const QColor& bottom)
{
    return mix(opaque(bottom), opaque(top), top.alphaF());
}

QColor Contrast::readable(const QColor& color, std::span<const QColor> backgrounds, double minimum)
{
    const QColor start = opaque(color);
    if (backgrounds.empty())
        return start;
    const QColor end =
        luminance(backgrounds.front()) > 0.18 ? QColor(Qt::black) : QColor(Qt::white);
    const double t = smallestReaching(
        [&](double t) { return lowestRatio(mix(start, end, t), backgrounds) >= minimum; });
    return mix(start, end, t);
}

QColor Contrast::readable(const QColor& color, std::initializer_list<QColor> backgrounds,
                          double minimum)
{
    return readable(color, std::span<const QColor>(backgrounds.begin(), backgrounds.size()),
                    minimum);
}

QColor Contrast::faintest(const QColor& foreground, const QColor& towards,
                          std::span<const QColor> surfaces, double minimum)
{
    // Searched from the faint end: t is the way from `towards` back to the foreground.
    const QColor from = opaque(towards), to = opaque(foreground);
    const double t = smallestReaching(
        [&](double t) { return lowestRatio(mix(from, to, t), surfaces) >= minimum; });
    return mix(from, to, t);
}

QColor Contrast::labelOn(const QColor& background)
{
    const QColor black(Qt::black), white(Qt::white);
    return ratio(black, background) >= ratio(white, background) ? black : white;
}

QColor Contrast::fillBehind(const QColor& text, const QColor& fill, double minimum)
{
    const QColor start = opaque(fill);
    const QColor end = luminance(text) > 0.18 ? QColor(Qt::black) : QColor(Qt::white);
    const double t =
        smallestReaching([&](double t) { return ratio(text, mix(start, end, t)) >= minimum; });
    return mix(start, end, t);
}

} // namespace plenvo
