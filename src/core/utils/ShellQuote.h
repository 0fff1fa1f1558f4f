#pragma once

#include <QString>

#include <string_view>

namespace plenvo {

// The text form of a location, for pasting into a terminal. A name may hold control
// characters: a newline pasted into a shell ends the command line and runs what follows it
// ("x\nrm -rf ~\n"). A location without them is its plain text (decoded as UTF-8, as it is
// shown); one with them is written in the $'...' form, which bash, zsh and ksh read back as
// exactly the same bytes: newline, tab and carriage return as \n, \t and \r, the other control
// characters (C0, DEL, C1), the bytes that are not UTF-8, '\' and '\'' as escapes.
class ShellQuote {
public:
    ShellQuote() = delete;

    // Whether `bytes` holds a control character (C0, DEL, or C1 encoded in UTF-8).
    static bool holdsControlCharacters(std::string_view bytes);
    // The text to paste for the location `path` (raw bytes).
    static QString textFor(std::string_view path);
};

} // namespace plenvo
