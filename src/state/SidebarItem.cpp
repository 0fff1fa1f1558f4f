#include "SidebarItem.h"

#include "utils/Localization.h"

namespace plenvo {

namespace {

struct Description {
    const char* raw;
    const char* key;
    const char* icon;
    ColorToken color;
};

constexpr std::array<Description, SidebarItem::kCount> kDescriptions = {{
    {"Overview", "sidebar.overview", "chart.pie.fill", ColorToken::secondary},
    {"TreeMap", "sidebar.treeMap", "square.grid.3x3.fill", ColorToken::secondary},
    {"Large Files", "sidebar.largeFiles", "doc.fill", ColorToken::secondary},
    {"Categories", "sidebar.categories", "folder.fill", ColorToken::secondary},
    {"Duplicates", "sidebar.duplicates", "doc.on.doc.fill", ColorToken::indigo},
    {"Caches", "sidebar.caches", "cylinder.fill", ColorToken::gray},
    {"Cleanup", "sidebar.cleanup", "trash.fill", ColorToken::red},
    {"Changes", "sidebar.changes", "clock.arrow.circlepath", ColorToken::secondary},
}};

} // namespace

QString SidebarItem::rawValue() const
{
    return QString::fromLatin1(kDescriptions[m_value].raw);
}

std::optional<SidebarItem> SidebarItem::fromRawValue(QStringView raw)
{
    for (SidebarItem item : allCases())
        if (raw == QLatin1String(kDescriptions[item.value()].raw))
            return item;
    return std::nullopt;
}

const char* SidebarItem::localizationKey() const
{
    return kDescriptions[m_value].key;
}

const char* SidebarItem::icon() const
{
    return kDescriptions[m_value].icon;
}

ColorToken SidebarItem::iconColor() const
{
    return kDescriptions[m_value].color;
}

QString SidebarItem::localizedName() const
{
    return Localization::lookup(QLatin1String(localizationKey()));
}

} // namespace plenvo
