#include "CacheLocation.h"

namespace plenvo {

namespace {

const std::array<const char16_t*, CacheLocation::CacheCategory::kCount> kRawValues = {
    u"系统缓存", u"浏览器缓存", u"开发工具", u"应用缓存", u"媒体缓存", u"包管理器"};

} // namespace

QString CacheLocation::CacheCategory::rawValue() const
{
    return QString::fromUtf16(kRawValues[m_value]);
}

std::optional<CacheLocation::CacheCategory>
CacheLocation::CacheCategory::fromRawValue(QStringView raw)
{
    for (CacheCategory category : allCases())
        if (raw == QStringView(kRawValues[category.value()]))
            return category;
    return std::nullopt;
}

} // namespace plenvo
