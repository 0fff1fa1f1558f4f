#pragma once

#include "SidebarItem.h"

#include <QRect>
#include <QWidget>

#include <optional>
#include <vector>

namespace plenvo {

class AppState;

// The sidebar of the main window: the new-scan action and, once a scan result exists, the
// analysis views. A list drawn in the sidebar manner (section headers, rounded selection). The
// selection is the state's navigation selection, both ways: clicking a row or moving to it with
// the arrow keys stores its item, and a change made elsewhere highlights the matching row.
//
// The new-scan row looks like a row but is a button: it never takes the selection, and pressing
// it (click, or Return/Space while the keyboard is on it) opens the folder picker.
class SidebarView : public QWidget {
    Q_OBJECT

public:
    explicit SidebarView(AppState& state, QWidget* parent = nullptr);

    // The item rows shown, top to bottom (the new-scan row is not an item).
    std::vector<SidebarItem> shownItems() const;
    // The rectangle of an item's row in widget coordinates; empty when the row is not shown.
    QRect itemRect(SidebarItem item) const;
    QRect newScanRect() const;
    // The row drawn as selected: the navigation selection when it has a row here.
    std::optional<SidebarItem> highlightedItem() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    enum class RowKind { header, newScan, item };
    struct Row {
        RowKind kind;
        QString title;
        std::optional<SidebarItem> item; // item rows only
        QRect rect;                      // set by layoutRows()
    };

    void rebuildRows();
    // Places the rows for the current width and fonts; a no-op while they are placed already.
    void layoutRows(bool force = false) const;
    int contentHeight() const;
    int rowHeight() const;
    int headerHeight() const;

    int rowAt(const QPoint& pos) const;
    int rowOf(SidebarItem item) const;
    int selectedRow() const;
    bool isActivatable(int row) const;
    void moveCursor(int step);
    void moveCursorTo(int row);
    void activate(int row);
    void followSelection();

    void paintHeader(QPainter& painter, const Row& row) const;
    void paintRow(QPainter& painter, const Row& row, bool selected, bool pressed) const;

    AppState& m_state;
    mutable std::vector<Row> m_rows;
    mutable int m_layoutWidth = -1;
    int m_cursor = -1;     // the row the keyboard is on
    int m_pressedRow = -1; // the new-scan row while the mouse holds it down
    bool m_pressInside = false;
};

} // namespace plenvo
