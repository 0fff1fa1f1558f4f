#pragma once

#include "models/ColorToken.h"

#include <QColor>
#include <QPalette>

namespace plenvo {

// Turns the named colours of the models into concrete colours. Every token has a value for a
// light and for a dark appearance; which one applies follows the palette: a palette whose window
// background is dark selects the dark values. The dimmed foreground tokens (secondary, tertiary,
// quaternary) are the palette's own text colour at decreasing opacity.
class Colors {
public:
    enum class Scheme { light, dark };

    // The appearance a palette stands for: dark when its window background is dark.
    static Scheme scheme(const QPalette& palette);
    // The appearance of the application's current palette.
    static Scheme currentScheme();

    // The token's colour for an appearance; the dimmed tokens are black or white at their
    // opacity. `opacity` multiplies the colour's own alpha (0 transparent, 1 unchanged).
    static QColor color(ColorToken token, Scheme scheme, qreal opacity = 1.0);
    // The token's colour for a palette: its appearance decides the accents, and the dimmed
    // tokens take the palette's window text colour.
    static QColor color(ColorToken token, const QPalette& palette, qreal opacity = 1.0);
    // The token's colour for the application's current palette.
    static QColor color(ColorToken token, qreal opacity = 1.0);

    // `color` with its alpha multiplied by `opacity`, clamped to [0, 1].
    static QColor withOpacity(const QColor& color, qreal opacity);
};

} // namespace plenvo
