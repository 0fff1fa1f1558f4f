#pragma once

#include "SidebarItem.h"

#include <QListView>

#include <optional>

namespace plenvo {

class AppState;
class SidebarDelegate;
class SidebarModel;

// The sidebar of the main window: the new-scan action and, once a scan result exists, the
// analysis views (rows of a SidebarModel, painted by a SidebarDelegate). The selection is the
// state's navigation selection, both ways: clicking a row or moving to it with the arrow keys
// stores its item, and a change made elsewhere selects the matching row.
//
// The new-scan row looks like a row but is a button: it never takes the selection, and pressing
// it (click, or Return/Space while it is the current row) opens the folder picker. The arrow,
// Home and End keys pass the section headers by.
class SidebarView : public QListView {
    Q_OBJECT

public:
    explicit SidebarView(AppState& state, QWidget* parent = nullptr);

    SidebarModel* sidebarModel() const { return m_model; }
    // The item of the selected row, if any.
    std::optional<SidebarItem> selectedItem() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void activate(const QModelIndex& index);
    void followNavigation();
    void storeSelection();
    void showPressed(bool pressed);
    int contentHeight() const;

    AppState& m_state;
    SidebarModel* m_model;
    SidebarDelegate* m_delegate;
    QPersistentModelIndex m_pressed; // the new-scan row while the mouse holds it down
    bool m_following = false;        // while the selection follows the state
};

} // namespace plenvo
