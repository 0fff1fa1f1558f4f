#include "utils/StringFormatter.h"

namespace plenvo {

namespace {

enum class Conversion { string, integer, unknown };

// One placeholder as found in a text: where it ends, which argument it addresses and what it
// converts. `position` is 1-based; 0 means "the next argument in order", -1 a position that
// can never be valid (0, or more digits than any argument list has).
struct Placeholder {
    qsizetype length = 0;
    qsizetype position = 0;
    Conversion conversion = Conversion::unknown;
};

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isLengthModifier(QChar c)
{
    return c == u'h' || c == u'l' || c == u'q' || c == u'L' || c == u'z' || c == u'j' || c == u't';
}

// Reads the placeholder that starts with the '%' at `start`: an optional "N$", any length
// modifiers, then one conversion character (a letter or '@'). Returns a zero length when what
// follows the '%' has no such shape; that '%' is then plain text.
Placeholder parsePlaceholder(QStringView text, qsizetype start)
{
    constexpr qsizetype maxPositionDigits = 9; // keeps the value within qsizetype
    Placeholder result;
    qsizetype i = start + 1;
    const qsizetype end = text.size();

    qsizetype digits = 0;
    qsizetype position = 0;
    while (i < end && isAsciiDigit(text[i])) {
        if (digits < maxPositionDigits)
            position = position * 10 + (text[i].unicode() - u'0');
        ++digits;
        ++i;
    }
    if (digits > 0) {
        if (i >= end || text[i] != u'$')
            return {}; // a width such as "%5d" is not supported
        ++i;
        result.position = (digits > maxPositionDigits || position == 0) ? -1 : position;
    }

    const qsizetype modifiersStart = i;
    while (i < end && isLengthModifier(text[i]))
        ++i;
    if (i >= end || !(isAsciiLetter(text[i]) || text[i] == u'@'))
        return {}; // no conversion character: the '%' is plain text
    const QStringView conversion = text.sliced(modifiersStart, i + 1 - modifiersStart);
    if (conversion == u"@")
        result.conversion = Conversion::string;
    else if (conversion == u"lld")
        result.conversion = Conversion::integer;
    else
        result.conversion = Conversion::unknown;
    result.length = i + 1 - start;
    return result;
}

bool accepts(Conversion conversion, const StringFormatter::Arg& arg)
{
    switch (conversion) {
    case Conversion::string:
        return true;
    case Conversion::integer:
        return arg.isInteger();
    case Conversion::unknown:
        return false;
    }
    return false;
}

} // namespace

QString StringFormatter::Arg::text() const
{
    if (const auto* value = std::get_if<std::int64_t>(&m_value))
        return QString::number(static_cast<qlonglong>(*value));
    if (const auto* number = std::get_if<DisplayNumber>(&m_value))
        return number->text;
    return std::get<QString>(m_value);
}

QString StringFormatter::format(QStringView text, std::span<const Arg> args)
{
    QString out;
    out.reserve(text.size() + 16 * static_cast<qsizetype>(args.size()));
    std::size_t nextArgument = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype percent = text.indexOf(u'%', i);
        if (percent < 0) {
            out += text.sliced(i);
            break;
        }
        out += text.sliced(i, percent - i);
        i = percent;

        if (i + 1 < text.size() && text[i + 1] == u'%') {
            out += u'%';
            i += 2;
            continue;
        }
        const Placeholder placeholder = parsePlaceholder(text, i);
        if (placeholder.length == 0) {
            out += u'%';
            ++i;
            continue;
        }

        const Arg* arg = nullptr;
        if (placeholder.position == 0) {
            if (nextArgument < args.size())
                arg = &args[nextArgument];
            ++nextArgument;
        } else if (placeholder.position > 0 &&
                   static_cast<std::size_t>(placeholder.position) <= args.size()) {
            arg = &args[static_cast<std::size_t>(placeholder.position) - 1];
        }

        if (arg && accepts(placeholder.conversion, *arg))
            out += arg->text();
        else
            out += text.sliced(i, placeholder.length);
        i += placeholder.length;
    }
    return out;
}

} // namespace plenvo
