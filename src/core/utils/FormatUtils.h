#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace plenvo {

// Display forms of sizes, counts and dates. Everything locale-dependent follows the default
// QLocale (QLocale::setDefault), which starts as the system locale.
class FormatUtils {
public:
    FormatUtils() = delete;

    // Compact size for tight places and messages: the same 1000-based units and unit choice as
    // formatBytes, so a total reads the same in both forms, but with the unit names B, KB, MB,
    // GB, TB, always a '.' decimal point and no grouping. Below 1000 (negatives included) the
    // plain count and "B": "-5 B", "999 B", "1.0 KB", "1.0 MB" for 999,999 bytes (never
    // "1000.0 KB"), "1125.9 TB" for 2^50 bytes (no unit above TB).
    static QString formatBytesCompact(std::int64_t bytes);

    // The size as file managers show it: 1000-based (SI) units from bytes to TB (never PB
    // or above), localized. Below 1000 the whole count with the locale's word for bytes
    // ("12 bytes", "12 字节"; "1 byte" in English); above, one decimal in the smallest unit
    // that keeps the rounded number below 1000 ("1.5 kB", "1.0 MB" for 999,999 bytes),
    // with the locale's decimal separator and grouping ("1,125.9 TB" for 2^50 bytes).
    static QString formatBytes(std::int64_t bytes);
    // A change of size in the form of formatBytes, with its sign: "+1.5 kB", "-1.5 kB",
    // "0 bytes".
    static QString formatBytesChange(std::int64_t bytes);

    // The count with the locale's digit grouping and minus sign ("12,345" in English).
    static QString formatCount(std::int64_t count);

    // Date and time in the locale's medium date and short time style, in local time
    // ("Dec 6, 2026 3:04 PM", "2026年12月6日 15:04"); "未知" when the date is unknown.
    static QString formatDateFull(std::optional<std::int64_t> msSinceEpoch);
};

} // namespace plenvo
