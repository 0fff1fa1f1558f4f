#pragma once

#include "models/ColorToken.h"

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

class QFont;

namespace plenvo {

// The symbol icons of the user interface, addressed by symbol name ("house.fill",
// "chevron.right", ...). Each name maps to a vendored monochrome SVG that is rendered at the
// requested size and tinted with one colour; rendered pixmaps are cached. A name without artwork
// draws nothing. GUI thread only.
class Icons {
public:
    enum class Variant {
        plain,
        // The symbol's filled form ("sidebar.right" -> "sidebar.right.fill"); a symbol without
        // one, or one that is filled already, draws as it is.
        filled,
    };

    // The symbol `extent` device-independent pixels square, in `color`, for a screen of
    // `devicePixelRatio`. Null when no symbol has that name.
    static QPixmap pixmap(const QString& name, int extent, const QColor& color,
                          qreal devicePixelRatio = 1.0, Variant variant = Variant::plain);

    // The symbol as an icon for widgets, drawn at whatever size and pixel ratio they ask for.
    // Its On state (a checked button) shows the filled variant, its Disabled mode is faded.
    // Null when no symbol has that name.
    static QIcon icon(const QString& name, const QColor& color);
    // As above, in the colour of `token` for the application palette at the time of drawing,
    // so the icon follows a switch between light and dark.
    static QIcon icon(const QString& name, ColorToken token);

    static bool contains(const QString& name);
    // Every symbol name with artwork, sorted.
    static QStringList names();

    // The extent of a symbol drawn "in" a text font: the height of one line of that font, in
    // device-independent pixels.
    static int extentFor(const QFont& font);
};

} // namespace plenvo
