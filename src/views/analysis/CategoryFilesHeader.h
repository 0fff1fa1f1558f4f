#pragma once

#include "models/FileCategory.h"
#include "theme/RoundedPanel.h"

#include <cstdint>
#include <optional>

class QToolButton;

namespace plenvo {

class StyledLabel;
class SymbolView;

// The header over the file list of the categories view: the category's icon and name, how many
// of its files are listed, its total size, and a Show More button while not all are listed.
class CategoryFilesHeader : public RoundedPanel {
    Q_OBJECT

public:
    explicit CategoryFilesHeader(QWidget* parent = nullptr);

    // Shows `category` (none: all files) with `listed` of its `fileCount` files listed.
    void setContent(std::optional<FileCategory> category, std::int64_t listed,
                    std::int64_t fileCount, std::int64_t totalSize);

    SymbolView* icon() const { return m_icon; }
    QString title() const;
    QString countText() const;
    QString sizeText() const;
    QToolButton* showMoreButton() const { return m_showMore; }

Q_SIGNALS:
    void showMoreClicked();

private:
    SymbolView* m_icon;
    StyledLabel* m_title;
    StyledLabel* m_count;
    StyledLabel* m_size;
    QToolButton* m_showMore;
};

} // namespace plenvo
