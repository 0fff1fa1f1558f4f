#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <optional>

namespace plenvo {

// The destinations of the sidebar.
class SidebarItem {
public:
    enum Value : std::uint8_t {
        overview,
        treeMap,
        largeFiles,
        categories,
        duplicates,
        caches,
        cleanup
    };
    static constexpr std::size_t kCount = 7;

    constexpr SidebarItem(Value value) : m_value(value) {}
    constexpr Value value() const { return m_value; }
    constexpr operator Value() const { return m_value; }

    static constexpr std::array<SidebarItem, kCount> allCases()
    {
        return {overview, treeMap, largeFiles, categories, duplicates, caches, cleanup};
    }

    // "Overview", "TreeMap", "Large Files", ...: the raw value, which is also the item's id.
    QString rawValue() const;
    QString id() const { return rawValue(); }
    static std::optional<SidebarItem> fromRawValue(QStringView raw); // exact, case-sensitive
    const char* localizationKey() const;
    QString localizedName() const;

private:
    Value m_value;
};

} // namespace plenvo
