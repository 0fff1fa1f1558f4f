#pragma once

#include "utils/StringFormatter.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace plenvo {

// Display forms of sizes, counts, shares and dates. Numbers follow the default QLocale
// (QLocale::setDefault, which starts as the system locale): its digits, decimal separator,
// grouping and minus sign. Words follow the language of the texts (Localization). Sizes are
// written with the SI units kB, MB, GB and TB in every language and in both forms.
class FormatUtils {
public:
    FormatUtils() = delete;

    // The size for tight places and messages (tile labels, the header pill, toasts): the same
    // number and unit as formatBytes from 1000 bytes up, so that a total reads the same in
    // both forms; below, the count and "B" ("-5 B", "999 B").
    static QString formatBytesCompact(std::int64_t bytes);

    // The size as file managers show it: 1000-based units from bytes to TB (never PB or above).
    // Below 1000 the whole count and the word for bytes ("12 bytes", "1 byte", "12 字节");
    // above, one decimal in the smallest unit that keeps the rounded number below 1000, in the
    // locale's notation ("1.5 kB", "1,5 kB" in German, "1.0 MB" for 999,999 bytes,
    // "1,125.9 TB" for 2^50 bytes).
    static QString formatBytes(std::int64_t bytes);
    // A size or a count that may be a lower bound (what was counted of a folder whose scan was
    // stopped before it was read to the end): as formatBytes, formatBytesCompact and
    // formatCount, and then, when `atLeast`, said to be at least that ("≥ 12.3 GB").
    static QString formatBytes(std::int64_t bytes, bool atLeast);
    static QString formatBytesCompact(std::int64_t bytes, bool atLeast);
    static QString formatCount(std::int64_t count, bool atLeast);
    // A change of size in the form of formatBytes, with its sign: "+1.5 kB", "-1.5 kB",
    // "0 bytes".
    static QString formatBytesChange(std::int64_t bytes);

    // The count with the locale's digit grouping and minus sign ("12,345" in English).
    static QString formatCount(std::int64_t count);
    // formatCount() as the argument of a text's %lld placeholder, which would otherwise show
    // plain digits: L("categories.fileCount %lld", FormatUtils::countArg(files)).
    static DisplayNumber countArg(std::int64_t count);

    // A share in percent with one decimal, in the locale's notation, and the locale's percent
    // sign: "27.2%", "27,2%" in German or Russian.
    static QString formatPercent(double percent);

    // Date and time in the locale's medium date and short time style, in local time
    // ("Dec 6, 2026 3:04 PM", "2026年12月6日 15:04"); the text for an unknown date
    // ("Unknown", "未知") when there is none.
    static QString formatDateFull(std::optional<std::int64_t> msSinceEpoch);
};

} // namespace plenvo
