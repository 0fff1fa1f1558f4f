#pragma once

#include "ColorToken.h"

#include <QString>
#include <QStringView>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace plenvo {

class FileNode;

// The ten kinds of files, decided by the file-name extension alone.
class FileCategory {
public:
    enum Value : std::uint8_t {
        documents,
        images,
        videos,
        audio,
        archives,
        code,
        applications,
        system,
        caches,
        other,
    };
    static constexpr std::size_t kCount = 10;

    constexpr FileCategory(Value value = other) : m_value(value) {}
    constexpr Value value() const { return m_value; }
    constexpr operator Value() const { return m_value; }
    constexpr std::size_t index() const { return m_value; }

    // All categories in declaration order.
    static constexpr std::array<FileCategory, kCount> allCases()
    {
        return {documents, images,       videos, audio,  archives,
                code,      applications, system, caches, other};
    }

    // "Documents", "Images", ...: the raw value, which is also the category's id.
    QString rawValue() const;
    QString id() const { return rawValue(); }
    // The category with exactly this raw value (case-sensitive), if any.
    static std::optional<FileCategory> fromRawValue(QStringView raw);

    const char* localizationKey() const; // "category.documents", ...
    QString localizedName() const;
    const char* icon() const; // a symbol name, such as "doc.text.fill"
    ColorToken color() const;

    // The category of a file-name extension (without the dot); case does not matter and the
    // match is on the whole extension.
    static FileCategory categorize(std::string_view extension);
    static FileCategory categorize(QStringView extension);
    // The category of a node, from the extension of its name.
    static FileCategory of(const FileNode& node);

private:
    Value m_value;
};

inline std::size_t qHash(FileCategory category, std::size_t seed = 0) noexcept
{
    return std::size_t(category.value()) ^ seed;
}

} // namespace plenvo
