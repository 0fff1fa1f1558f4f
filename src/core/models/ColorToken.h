#pragma once

namespace plenvo {

// A named colour of the user interface. The models name colours; the views turn a token into
// concrete colours for the light or the dark palette.
enum class ColorToken {
    blue,
    orange,
    purple,
    pink,
    yellow,
    teal,
    indigo,
    gray,
    brown,
    green,
    red,
    secondary, // dimmed foreground
    tertiary,
    quaternary,
};

} // namespace plenvo
