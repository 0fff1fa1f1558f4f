#pragma once

#include <QString>
#include <QStringView>
#include <QUuid>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace plenvo {

// A known cache folder and what was measured in it.
struct CacheLocation {
    // Kinds of cache; the raw values are the category titles.
    class CacheCategory {
    public:
        enum Value : std::uint8_t { system, browser, developer, app, media, package };
        static constexpr std::size_t kCount = 6;

        constexpr CacheCategory(Value value) : m_value(value) {}
        constexpr Value value() const { return m_value; }
        constexpr operator Value() const { return m_value; }
        static constexpr std::array<CacheCategory, kCount> allCases()
        {
            return {system, browser, developer, app, media, package};
        }
        QString rawValue() const;
        static std::optional<CacheCategory> fromRawValue(QStringView raw);

    private:
        Value m_value;
    };

    QUuid id = QUuid::createUuid();
    QString name;
    std::string path;
    CacheCategory category = CacheCategory::system;
    QString icon;
    std::int64_t size = 0;
    std::int64_t fileCount = 0;
    bool isScanned = false;
};

} // namespace plenvo
