#pragma once

#include <QPalette>

namespace plenvo {

// The application's own palettes, for when the desktop prefers a colour scheme that the
// platform's palette is not in (see ColorSchemeFollower): a light and a dark one, neutral
// grays with a blue selection on which white text reads at 4.5 : 1 or more.
class Palettes {
public:
    Palettes() = delete;

    static QPalette light();
    static QPalette dark();
};

} // namespace plenvo
