#pragma once

#include "FileCategory.h"

#include <cstdint>

namespace plenvo {

// Size and number of the files of one category.
struct CategoryStat {
    FileCategory category;
    std::int64_t totalSize = 0;
    std::int64_t fileCount = 0;

    QString id() const { return category.rawValue(); }
    friend bool operator==(const CategoryStat&, const CategoryStat&) = default;
};

} // namespace plenvo
