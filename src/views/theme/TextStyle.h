#pragma once

namespace plenvo {

// The named text styles of the user interface, largest first. Their sizes are relative to the
// application font, which is the body style (see TextStyles).
enum class TextStyle {
    largeTitle,
    title,
    title2,
    title3,
    headline,
    body,
    callout,
    caption,
    caption2, // the smallest caption
};

} // namespace plenvo
