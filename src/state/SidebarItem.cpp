#include "SidebarItem.h"

#include "utils/Localization.h"

namespace plenvo {

namespace {

struct Description {
    const char* raw;
    const char* key;
};

constexpr std::array<Description, SidebarItem::kCount> kDescriptions = {{
    {"Overview", "sidebar.overview"},
    {"TreeMap", "sidebar.treeMap"},
    {"Large Files", "sidebar.largeFiles"},
    {"Categories", "sidebar.categories"},
    {"Duplicates", "sidebar.duplicates"},
    {"Caches", "sidebar.caches"},
    {"Cleanup", "sidebar.cleanup"},
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

QString SidebarItem::localizedName() const
{
    return Localization::lookup(QLatin1String(localizationKey()));
}

} // namespace plenvo
