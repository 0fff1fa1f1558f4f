#include "utils/DisplayText.h"

#include <algorithm>

namespace plenvo {

QString DisplayText::fromBytes(std::string_view bytes)
{
    return withoutControlCharacters(
        QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QString DisplayText::withoutControlCharacters(QString text)
{
    const auto isControl = [](QChar c) {
        const char16_t u = c.unicode();
        return u < 0x20 || (u >= 0x7f && u <= 0x9f) || (u >= 0x2028 && u <= 0x2029) ||
               (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069);
    };
    // Most names hold none: the string is only written to (and copied) when one is found.
    if (std::none_of(text.cbegin(), text.cend(), isControl))
        return text;
    for (QChar& c : text) {
        if (isControl(c))
            c = QChar::ReplacementCharacter;
    }
    return text;
}

} // namespace plenvo
