#include "utils/FormatUtils.h"

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

// The locale's name for the SI unit 1000^power (power 1 to 4: kB, MB, GB, TB), as Qt's own
// data-size formatting writes it. Qt gives no direct access to the names, so they are read
// off a sample it formats: "<number> <unit>".
QString siUnitName(const QLocale& locale, int power, std::uint64_t scale)
{
    static constexpr std::array<const char16_t*, 5> fallback = {u"B", u"kB", u"MB", u"GB", u"TB"};
    const QString sample =
        locale.formattedDataSize(static_cast<qint64>(2 * scale), 0, QLocale::DataSizeSIFormat);
    const QString number = locale.toString(2) + u' ';
    if (sample.startsWith(number) && sample.size() > number.size())
        return sample.sliced(number.size());
    return QString::fromUtf16(fallback[static_cast<std::size_t>(power)]);
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
    static constexpr std::array<const char*, 5> units = {"B", "KB", "MB", "GB", "TB"};
    if (bytes < 1000)
        return QString::number(static_cast<qlonglong>(bytes)) + QStringLiteral(" B");
    const int power = siPowerFor(static_cast<std::uint64_t>(bytes));
    const double value = static_cast<double>(bytes) /
                         static_cast<double>(kSiScales[static_cast<std::size_t>(power)]);
    // QString::number always uses the C locale: '.' as decimal point, no grouping.
    return QString::number(value, 'f', 1) + u' ' +
           QLatin1String(units[static_cast<std::size_t>(power)]);
}

QString FormatUtils::formatBytes(std::int64_t bytes)
{
    const QLocale locale;
    const std::uint64_t magnitude = magnitudeOf(bytes);

    if (magnitude < 1000) {
        // Qt has no singular form; English is the one language where it shows most.
        if (magnitude == 1 && locale.language() == QLocale::English)
            return locale.toString(static_cast<qlonglong>(bytes)) + QStringLiteral(" byte");
        return locale.formattedDataSize(bytes, 0, QLocale::DataSizeSIFormat);
    }

    const int power = siPowerFor(magnitude);
    const std::uint64_t scale = kSiScales[static_cast<std::size_t>(power)];
    const QString number =
        locale.toString(static_cast<double>(bytes) / static_cast<double>(scale), 'f', 1);
    return number + u' ' + siUnitName(locale, power, scale);
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

QString FormatUtils::formatDateFull(std::optional<std::int64_t> msSinceEpoch)
{
    static const QString unknown = QStringLiteral("未知");
    if (!msSinceEpoch)
        return unknown;
    const QDateTime dateTime = QDateTime::fromMSecsSinceEpoch(*msSinceEpoch);
    if (!dateTime.isValid())
        return unknown;
    const QLocale locale;
    const QString format =
        mediumDateFormat(locale) + u' ' + locale.timeFormat(QLocale::ShortFormat);
    return locale.toString(dateTime, format);
}

} // namespace plenvo
