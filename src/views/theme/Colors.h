#pragma once

#include "models/ColorToken.h"

#include <QColor>
#include <QPalette>

#include <array>

namespace plenvo {

// Turns the named colours of the models into concrete colours. Every accent has a value for a
// light and for a dark appearance; which one applies follows the palette: a palette whose window
// background is dark selects the dark values.
//
// The dimmed foreground tokens (secondary, tertiary, quaternary) are the palette's window text
// faded toward its window background as far as their contrast against every surface of the
// palette (surfaces()) allows: 6.5, 4.6 and 3 : 1. Secondary and tertiary are for text,
// quaternary for marks that are not text. They are opaque.
class Colors {
public:
    enum class Scheme { light, dark };

    // The appearance a palette stands for: dark when its window background is dark.
    static Scheme scheme(const QPalette& palette);
    // The appearance of the application's current palette.
    static Scheme currentScheme();

    // The token's colour for an appearance, on the application's own palette for it
    // (Palettes). `opacity` multiplies the colour's own alpha (0 transparent, 1 unchanged).
    static QColor color(ColorToken token, Scheme scheme, qreal opacity = 1.0);
    // The token's colour for a palette: its appearance decides the accents, and the dimmed
    // tokens follow its window text and surfaces.
    static QColor color(ColorToken token, const QPalette& palette, qreal opacity = 1.0);
    // The token's colour for the application's current palette.
    static QColor color(ColorToken token, qreal opacity = 1.0);

    // The token's colour for text. The dimmed tokens are color(); an accent is darkened (on a
    // light palette) or lightened (on a dark one), its hue kept, until it reads at 4.6 : 1 on
    // every surface of the palette and on its own tint at up to 12 % over the window or the
    // base (a badge, a chosen row, a banner).
    static QColor textColor(ColorToken token, const QPalette& palette);
    static QColor textColor(ColorToken token);

    // The colour of a divider line: visible, 1.8 : 1 or more, on the window and on the base.
    static QColor divider(const QPalette& palette);

    // The surfaces text is drawn on: the window, the base (lists, the inspector), the gray
    // panels (gray at 12 %) over each, and buttons.
    static std::array<QColor, 5> surfaces(const QPalette& palette);

    // `color` with its alpha multiplied by `opacity`, clamped to [0, 1].
    static QColor withOpacity(const QColor& color, qreal opacity);
};

} // namespace plenvo
