#pragma once

#include <QAbstractItemDelegate>

namespace plenvo {

// Paints the rows of a SidebarModel in the sidebar manner: section headers in small bold
// secondary text, rows with an icon in an 18-point box and the title, and a rounded selection
// that takes the accent colour while the list has the keyboard focus (gray otherwise). The
// current row, when it is not the selected one, gets a focus ring while the list has focus.
//
// The list leaves the insets around the rows (kSideInset, kTopInset, kBottomInset) as viewport
// margins; a header below another section carries the gap above it in its own height.
class SidebarDelegate : public QAbstractItemDelegate {
    Q_OBJECT

public:
    static constexpr int kSideInset = 10;
    static constexpr int kTopInset = 8;
    static constexpr int kBottomInset = 10;

    explicit SidebarDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The row drawn pressed (the new-scan button while the mouse holds it down); -1 for none.
    void setPressedRow(int row) { m_pressedRow = row; }
    int pressedRow() const { return m_pressedRow; }

private:
    int m_pressedRow = -1;
};

} // namespace plenvo
