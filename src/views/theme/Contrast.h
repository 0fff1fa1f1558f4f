#pragma once

#include <QColor>

#include <initializer_list>
#include <span>

namespace plenvo {

// Contrast between colours as the Web Content Accessibility Guidelines measure it, and colours
// chosen to reach a contrast: text needs 4.5 : 1 against what it is drawn on (3 : 1 for large
// or bold text), other marks that carry meaning 3 : 1.
class Contrast {
public:
    Contrast() = delete;

    // What text needs against its background.
    static constexpr double kText = 4.5;
    // What large or bold text, and marks that are not text, need.
    static constexpr double kLarge = 3.0;

    // The relative luminance of a colour, from 0 (black) to 1 (white); alpha is ignored.
    static double luminance(const QColor& color);
    // The contrast ratio of two opaque colours, from 1 (the same) to 21 (black and white).
    static double ratio(const QColor& a, const QColor& b);
    // The lowest ratio of `color` against any of `backgrounds` (21 when there are none).
    static double lowestRatio(const QColor& color, std::span<const QColor> backgrounds);

    // `top` painted over the opaque `bottom`, with top's alpha: an opaque colour.
    static QColor over(const QColor& top, const QColor& bottom);

    // `color` (made opaque), darkened on light backgrounds or lightened on dark ones, with its
    // hue kept, just enough to reach `minimum` against every one of `backgrounds`; unchanged
    // when it reaches it already. The backgrounds are taken to be all light or all dark, as
    // the first one is. Black or white when even those fall short.
    static QColor readable(const QColor& color, std::span<const QColor> backgrounds,
                           double minimum = kText);
    static QColor readable(const QColor& color, std::initializer_list<QColor> backgrounds,
                           double minimum = kText);

    // The colour between `foreground` and `towards` nearest to `towards` (the faintest) that
    // still reaches `minimum` against every one of `surfaces`; `foreground` itself when
    // nothing fainter does.
    static QColor faintest(const QColor& foreground, const QColor& towards,
                           std::span<const QColor> surfaces, double minimum);

    // Black or white, whichever reads better on the opaque `background`; the better of the two
    // always reaches 4.58 : 1.
    static QColor labelOn(const QColor& background);

    // An opaque fill for text of the opaque colour `text`: `fill` (made opaque) moved away
    // from the text's lightness, with its hue kept, just enough that the text reaches
    // `minimum` on it; unchanged when it does already.
    static QColor fillBehind(const QColor& text, const QColor& fill, double minimum = kText);
};

} // namespace plenvo
