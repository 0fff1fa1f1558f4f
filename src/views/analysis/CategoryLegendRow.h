#pragma once

#include "models/CategoryStat.h"

#include <QAbstractButton>

namespace plenvo {

class StyledLabel;

// One row of the ring's legend: a dot in the category's colour, its name and its compact size.
// The whole row is a button; clicking it chooses the category.
class CategoryLegendRow : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int kDotSize = 8;

    explicit CategoryLegendRow(const CategoryStat& stat, QWidget* parent = nullptr);

    FileCategory category() const { return m_category; }
    QString sizeText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FileCategory m_category;
    StyledLabel* m_size;
};

} // namespace plenvo
