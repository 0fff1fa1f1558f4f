#pragma once

#include <QString>

#include <string_view>

namespace plenvo {

// The form in which names and paths are shown. A Linux name is a string of bytes that may be
// invalid UTF-8 and may hold control characters: a newline in a folder name would split a
// one-line label or a window title, and a bidirectional embedding, override or isolate would
// reorder what follows it ("rtl" U+202E "gnp.exe" shows as "rtlexe.png"). All are shown as
// U+FFFD, the replacement character: every font has it, and a name then shows one kind of mark
// for whatever cannot be shown as it is. The exact bytes stay with the file nodes; these
// strings are for display only.
class DisplayText {
public:
    DisplayText() = delete;

    // `bytes` decoded as UTF-8, invalid bytes and control characters as U+FFFD.
    static QString fromBytes(std::string_view bytes);
    // `text` with its control characters (C0 and C1 controls, DEL, the line and paragraph
    // separators U+2028 and U+2029, the bidirectional embeddings, overrides and isolates
    // U+202A to U+202E and U+2066 to U+2069) as U+FFFD; one character for one, so indices
    // still match.
    static QString withoutControlCharacters(QString text);
};

} // namespace plenvo
