#pragma once

#include "theme/TextStyle.h"

#include <QFont>

#include <optional>

namespace plenvo {

// Fonts for the named text styles, derived from the application font so that the user's font
// settings scale the whole interface. The body style is the application font's size; the other
// styles keep fixed proportions to it (a 13-point design grid: title 22, headline 13,
// caption 10 ...).
class TextStyles {
public:
    struct Options {
        // Overrides the style's own weight (regular, or semibold for the headline).
        std::optional<QFont::Weight> weight = std::nullopt;
        // A rounded family when one is installed, else the base family.
        bool rounded = false;
        // Digits of equal width, so that changing numbers do not jitter.
        bool monospacedDigits = false;
        // A fixed-pitch family for all characters (paths, code).
        bool monospaced = false;
    };

    // The font of `style` derived from the application font.
    static QFont font(TextStyle style);
    static QFont font(TextStyle style, const Options& options);
    // The font of `style` derived from `base` instead of the application font.
    static QFont font(TextStyle style, const Options& options, const QFont& base);

    // A font of `size` points on the styles' 13-point design grid, so it scales with the
    // application font like they do: systemFont(13) has the body size, systemFont(26) twice it.
    static QFont systemFont(qreal size);
    static QFont systemFont(qreal size, const Options& options);
    static QFont systemFont(qreal size, const Options& options, const QFont& base);

    // The family used for the rounded design: the first installed rounded family, or an empty
    // string when none is installed.
    static QString roundedFamily();
};

} // namespace plenvo
