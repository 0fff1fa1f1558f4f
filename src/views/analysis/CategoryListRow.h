#pragma once

#include "models/CategoryStat.h"

#include <QAbstractButton>

#include <cstdint>

namespace plenvo {

class StyledLabel;

// One row of the category list: the category's icon, name and number of files, its size and
// its share of the scan. The row is a checkable button that a click does not toggle: the
// owner checks the selected category's row, which then takes a tint of the category's colour.
class CategoryListRow : public QAbstractButton {
    Q_OBJECT

public:
    CategoryListRow(const CategoryStat& stat, std::int64_t totalSize, QWidget* parent = nullptr);

    FileCategory category() const { return m_category; }
    QString countText() const;
    QString sizeText() const;
    QString shareText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void nextCheckState() override {}

private:
    FileCategory m_category;
    StyledLabel* m_count;
    StyledLabel* m_size;
    StyledLabel* m_share;
};

} // namespace plenvo
