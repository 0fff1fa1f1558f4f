#pragma once

#include "models/FileNode.h"

#include <QListView>

#include <vector>

namespace plenvo {

class AppState;
class ChangeRowDelegate;
class ChangesModel;
class FileActions;

// The list of changes of one folder (ChangesModel): several rows can be selected with the usual
// gestures; Return or a double click opens a folder's row, Backspace goes one level up; a right
// click on a row that is not selected selects it first, then opens the menu of the view's
// actions on files (reveal, copy the path, move to the Trash), which act on the selected rows
// that are in the current scan (gone ones are only shown); Delete moves them to the Trash.
//
// The list mirrors its selection into the application's state, as the file lists do: the row
// that stands for the selection becomes AppState::selectedNode() (nothing for a gone one), and
// the entries of the rows become AppState::inspectorCandidateNodes().
class ChangesList : public QListView {
    Q_OBJECT

public:
    ChangesList(AppState& state, ChangesModel& model, FileActions& actions,
                QWidget* parent = nullptr);

    ChangesModel& changesModel() const { return m_model; }
    ChangeRowDelegate* rowDelegate() const { return m_delegate; }
    // The entries of the selected rows in the current scan, in row order.
    std::vector<NodeRef> selectedNodes() const;
    // The row that stands for the selection: the current row when selected, else the first
    // selected one; -1 when nothing is selected.
    int focusRow() const;
    // Opens the folder of the row that stands for the selection.
    bool openFocusRow();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void mirrorSelection();
    void rowsChanged();

    AppState& m_state;
    ChangesModel& m_model;
    FileActions& m_actions;
    ChangeRowDelegate* m_delegate;
};

} // namespace plenvo
