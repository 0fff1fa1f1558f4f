#pragma once

#include <QString>

#include <compare>
#include <cstdint>

namespace plenvo {

// A 128-bit digest of a file's content (XXH3-128): files with equal digests are taken to have
// equal content.
struct ContentHash {
    std::uint64_t high = 0;
    std::uint64_t low = 0;

    // 32 lowercase hexadecimal digits, the high half first.
    QString toHex() const
    {
        return QStringLiteral("%1%2")
            .arg(high, 16, 16, QLatin1Char('0'))
            .arg(low, 16, 16, QLatin1Char('0'));
    }

    friend auto operator<=>(const ContentHash&, const ContentHash&) = default;
};

} // namespace plenvo
