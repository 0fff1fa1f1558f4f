#pragma once

#include "models/ColorToken.h"

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <optional>

namespace plenvo {

// The destinations of the application: the sidebar's rows, the View menu's commands, the
// views of the main window's detail area. Everything that lists or presents destinations
// reads it from here.
class SidebarItem {
public:
    enum Value : std::uint8_t {
        overview,
        treeMap,
        largeFiles,
        categories,
        duplicates,
        caches,
        cleanup,
        changes
    };
    static constexpr std::size_t kCount = 8;

    constexpr SidebarItem(Value value) : m_value(value) {}
    constexpr Value value() const { return m_value; }
    constexpr operator Value() const { return m_value; }

    static constexpr std::array<SidebarItem, kCount> allCases()
    {
        return {overview, treeMap, largeFiles, categories, duplicates, caches, cleanup, changes};
    }
    // The analysis views of a result, in the order the sidebar and the View menu list them.
    // The sidebar offers changes only when there is an earlier scan to compare with.
    static constexpr std::array<SidebarItem, 5> viewItems()
    {
        return {overview, treeMap, largeFiles, categories, changes};
    }
    // The actions on a result, in sidebar order; see isEnabled().
    static constexpr std::array<SidebarItem, 3> actionItems()
    {
        return {duplicates, caches, cleanup};
    }

    // Whether the destination has a view of its own; the others show the overview.
    constexpr bool hasOwnView() const { return m_value <= duplicates || m_value == changes; }
    // The view the detail area shows for this destination.
    constexpr SidebarItem shownView() const { return hasOwnView() ? *this : SidebarItem(overview); }
    // Whether the inspector column belongs to this destination (the lists of files).
    constexpr bool supportsInspector() const
    {
        return m_value == largeFiles || m_value == categories || m_value == duplicates ||
               m_value == changes;
    }
    // Listing caches and cleaning up are not offered yet: the sidebar gives them no row.
    constexpr bool isEnabled() const { return hasOwnView(); }

    // "Overview", "TreeMap", "Large Files", ...: the raw value, which is also the item's id.
    QString rawValue() const;
    QString id() const { return rawValue(); }
    static std::optional<SidebarItem> fromRawValue(QStringView raw); // exact, case-sensitive
    const char* localizationKey() const;
    QString localizedName() const;
    const char* icon() const; // a symbol name
    ColorToken iconColor() const;

private:
    Value m_value;
};

} // namespace plenvo
