#include "ShellQuote.h"

#include <QByteArray>

namespace plenvo {

namespace {

bool isC1Lead(unsigned char lead, unsigned char next)
{
    return lead == 0xC2 && next >= 0x80 && next <= 0x9F; // U+0080 to U+009F
}

// The length of the valid UTF-8 sequence of more than one byte that starts at `i` (not a C1
// control), 0 when there is none.
std::size_t multibyteLength(std::string_view bytes, std::size_t i)
{
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || i + length > bytes.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((at(i + k) & 0xC0) != 0x80)
            return 0;
    const unsigned char second = at(i + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || // overlong, UTF-16
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F) || // overlong, > U+10FFFF
        isC1Lead(lead, second))
        return 0;
    return length;
}

} // namespace

bool ShellQuote::holdsControlCharacters(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x20 || c == 0x7F ||
            (i + 1 < bytes.size() && isC1Lead(c, static_cast<unsigned char>(bytes[i + 1]))))
            return true;
    }
    return false;
}

QString ShellQuote::textFor(std::string_view path)
{
    if (!holdsControlCharacters(path))
        return QString::fromUtf8(path.data(), qsizetype(path.size()));
    QByteArray out = "$'";
    for (std::size_t i = 0; i < path.size();) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (const std::size_t length = c >= 0x80 ? multibyteLength(path, i) : 0) {
            out.append(path.data() + i, qsizetype(length));
            i += length;
            continue;
        }
        ++i;
        if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\\' || c == '\'')
            out += '\\' + QByteArray(1, char(c));
        else if (c < 0x20 || c >= 0x7F) // an octal escape of three digits ends by itself
            out += '\\' + QByteArray::number(c, 8).rightJustified(3, '0');
        else
            out += char(c);
    }
    out += '\'';
    return QString::fromUtf8(out);
}

} // namespace plenvo
