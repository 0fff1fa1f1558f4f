#pragma once

#include <QString>
#include <QStringView>

#include <concepts>
#include <cstdint>
#include <limits>
#include <span>
#include <type_traits>
#include <variant>

namespace plenvo {

// An integer that a text can show: any integer type but bool and the character types.
template <typename T>
concept FormatInteger = std::integral<T> && !std::same_as<T, bool> && !std::same_as<T, char> &&
                        !std::same_as<T, wchar_t> && !std::same_as<T, char8_t> &&
                        !std::same_as<T, char16_t> && !std::same_as<T, char32_t>;

// A number already written for display, in the locale's digits and grouping (see
// FormatUtils::countArg). It fills a %lld placeholder with its text, where an integer would
// print plain digits, and a %@ placeholder as well.
struct DisplayNumber {
    QString text;
};

// Fills the printf-style placeholders of a localized text with arguments.
//
// Supported conversions:
//   %@      a string argument (an integer argument is printed as its plain digits)
//   %lld    a 64-bit integer argument: plain ASCII digits, a '-' for negatives, no grouping;
//           or a DisplayNumber, printed as written
//   %%      a literal percent sign
//   %N$@, %N$lld   the same conversions addressing argument N (1-based) directly
//
// No locale is involved. Texts come from translation catalogs, so a text may not match the
// arguments it is given; such a text never fails. Every placeholder that cannot be filled
// (no such argument, %lld given a string, an unknown conversion, a '%' at the very end) is
// copied to the output as written, and arguments that no placeholder uses are ignored.
// Unnumbered placeholders take the arguments in order; a placeholder that cannot be filled
// still takes its turn, so the ones after it keep their arguments.
class StringFormatter {
public:
    // One argument: a string or a signed 64-bit integer.
    class Arg {
    public:
        Arg(const QString& text) : m_value(text) {}
        Arg(QStringView text) : m_value(text.toString()) {}
        Arg(const char* utf8) : m_value(QString::fromUtf8(utf8)) {}
        Arg(const DisplayNumber& number) : m_value(number) {}

        // Any integer type except bool and the character types. Unsigned values beyond the
        // signed 64-bit range are clamped to its maximum.
        template <FormatInteger T> Arg(T value) : m_value(toInt64(value)) {}

        // An integer, or a number written for display: either fills %lld.
        bool isInteger() const { return !std::holds_alternative<QString>(m_value); }
        // The argument as it appears in text: the string, the integer's plain digits, or the
        // number as written for display.
        QString text() const;

    private:
        template <FormatInteger T> static std::int64_t toInt64(T value)
        {
            if constexpr (std::is_unsigned_v<T> && sizeof(T) >= sizeof(std::int64_t)) {
                constexpr auto max = static_cast<T>(std::numeric_limits<std::int64_t>::max());
                return value > max ? std::numeric_limits<std::int64_t>::max()
                                   : static_cast<std::int64_t>(value);
            } else {
                return static_cast<std::int64_t>(value);
            }
        }

        std::variant<QString, std::int64_t, DisplayNumber> m_value;
    };

    StringFormatter() = delete;

    // `text` with its placeholders filled from `args`, as described above.
    static QString format(QStringView text, std::span<const Arg> args);
};

} // namespace plenvo
