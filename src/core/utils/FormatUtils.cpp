#include "utils/FormatUtils.h"

#include "utils/Localization.h"

#include <QDateTime>
#include <QLocale>

#include <array>
#include <vector>

namespace plenvo {

namespace {

// Magnitude of a signed count, also for the most negative value.
std::uint64_t magnitudeOf(std::int64_t value)
{
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

constexpr std::array<std::uint64_t, 5> kSiScales = {1, 1000, 1'000'000, 1'000'000'000,
                                                    1'000'000'000'000};
constexpr int kMaxSiPower = 4; // TB

// The unit (a power of 1000: 0 for bytes up to 4 for TB) a size of `magnitude` bytes is shown
// in with one decimal: the smallest that keeps the rounded number below 1000 (999,999 bytes
// is "1.0 MB", not "1000.0 kB"), and never above TB.
int siPowerFor(std::uint64_t magnitude)
{
    int power = 0;
    for (std::uint64_t rest = magnitude; rest >= 1000 && power < kMaxSiPower; rest /= 1000)
        ++power;
    // Below TB, magnitude * 10 cannot overflow.
    if (power < kMaxSiPower) {
        const std::uint64_t scale = kSiScales[static_cast<std::size_t>(power)];
        if ((magnitude * 10 + scale / 2) / scale >= 10000)
            ++power;
    }
    return power;
}

// The size of `bytes` of `magnitude` 1000 or more: one decimal in its unit, in the locale's
// notation, and the unit.
QString largeSize(const QLocale& locale, std::int64_t bytes, std::uint64_t magnitude)
{
    static constexpr std::array<const char*, 5> units = {"B", "kB", "MB", "GB", "TB"};
    const int power = siPowerFor(magnitude);
    const double value = static_cast<double>(bytes) /
                         static_cast<double>(kSiScales[static_cast<std::size_t>(power)]);
    return locale.toString(value, 'f', 1) + u' ' +
           QLatin1String(units[static_cast<std::size_t>(power)]);
}

// A piece of a QLocale date/time format: a run of one unquoted ASCII letter (a field such as
// "dddd" or "MMM"), or literal text (a quoted part, or characters that are not letters).
struct FormatToken {
    QString text;
    bool field = false;
};

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

std::vector<FormatToken> tokenize(QStringView format)
{
    std::vector<FormatToken> tokens;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format[i];
        qsizetype j = i + 1;
        bool field = false;
        if (c == u'\'') {
            // Up to the closing quote; a doubled quote inside stands for a quote.
            while (j < format.size()) {
                if (format[j] != u'\'') {
                    ++j;
                } else if (j + 1 < format.size() && format[j + 1] == u'\'') {
                    j += 2;
                } else {
                    ++j;
                    break;
                }
            }
        } else if (isAsciiLetter(c)) {
            field = true;
            while (j < format.size() && format[j] == c)
                ++j;
        } else {
            while (j < format.size() && format[j] != u'\'' && !isAsciiLetter(format[j]))
                ++j;
        }
        tokens.push_back({format.sliced(i, j - i).toString(), field});
        i = j;
    }
    return tokens;
}

// Unquoted literal made only of spaces and punctuation, such as ", " or "، ".
bool isSeparator(const FormatToken& token)
{
    if (token.field || token.text.startsWith(u'\''))
        return false;
    for (const QChar c : token.text) {
        if (!c.isSpace() && !c.isPunct())
            return false;
    }
    return true;
}

// Qt offers long and short date formats only. The medium style (abbreviated month name, no
// weekday) is the long format with the weekday and the separator that set it apart removed,
// and the full month name shortened: "dddd, MMMM d, yyyy" -> "MMM d, yyyy",
// "yyyy年M月d日dddd" -> "yyyy年M月d日".
QString mediumDateFormat(const QLocale& locale)
{
    std::vector<FormatToken> tokens = tokenize(locale.dateFormat(QLocale::LongFormat));
    for (std::size_t k = 0; k < tokens.size();) {
        FormatToken& token = tokens[k];
        if (token.field && token.text.front() == u'd' && token.text.size() >= 3) {
            tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(k));
            if (k < tokens.size() && isSeparator(tokens[k])) {
                tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(k));
            } else if (k > 0 && isSeparator(tokens[k - 1])) {
                tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(k - 1));
                --k;
            }
            continue;
        }
        if (token.field && token.text.front() == u'M' && token.text.size() >= 4)
            token.text = QStringLiteral("MMM");
        ++k;
    }
    QString format;
    for (const FormatToken& token : tokens)
        format += token.text;
    return format.trimmed();
}

} // namespace

QString FormatUtils::formatBytesCompact(std::int64_t bytes)
{
    const QLocale locale;
    const std::uint64_t magnitude = magnitudeOf(bytes);
    if (magnitude < 1000)
        return locale.toString(static_cast<qlonglong>(bytes)) + QStringLiteral(" B");
    return largeSize(locale, bytes, magnitude);
}

QString FormatUtils::formatBytes(std::int64_t bytes)
{
    const QLocale locale;
    const std::uint64_t magnitude = magnitudeOf(bytes);
    if (magnitude < 1000) {
        const QString count = locale.toString(static_cast<qlonglong>(bytes));
        return magnitude == 1 ? L("size.byte %@", count) : L("size.bytes %@", count);
    }
    return largeSize(locale, bytes, magnitude);
}

QString FormatUtils::formatBytes(std::int64_t bytes, bool atLeast)
{
    return atLeast ? L("amount.atLeast %@", formatBytes(bytes)) : formatBytes(bytes);
}

QString FormatUtils::formatBytesCompact(std::int64_t bytes, bool atLeast)
{
    return atLeast ? L("amount.atLeast %@", formatBytesCompact(bytes)) : formatBytesCompact(bytes);
}

QString FormatUtils::formatCount(std::int64_t count, bool atLeast)
{
    return atLeast ? L("amount.atLeast %@", formatCount(count)) : formatCount(count);
}

QString FormatUtils::formatBytesChange(std::int64_t bytes)
{
    return bytes > 0 ? QLocale().positiveSign() + formatBytes(bytes) : formatBytes(bytes);
}

QString FormatUtils::formatCount(std::int64_t count)
{
    QString text = QLocale().toString(static_cast<qlonglong>(count));
    if (text.isEmpty())
        text = QString::number(static_cast<qlonglong>(count));
    return text;
}

DisplayNumber FormatUtils::countArg(std::int64_t count)
{
    return {formatCount(count)};
}

QString FormatUtils::formatPercent(double percent)
{
    const QLocale locale;
    return locale.toString(percent, 'f', 1) + locale.percent();
}

QString FormatUtils::formatDateFull(std::optional<std::int64_t> msSinceEpoch)
{
    if (!msSinceEpoch)
        return L("date.unknown");
    const QDateTime dateTime = QDateTime::fromMSecsSinceEpoch(*msSinceEpoch);
    if (!dateTime.isValid())
        return L("date.unknown");
    const QLocale locale;
    const QString format =
        mediumDateFormat(locale) + u' ' + locale.timeFormat(QLocale::ShortFormat);
    return locale.toString(dateTime, format);
}

} // namespace plenvo
