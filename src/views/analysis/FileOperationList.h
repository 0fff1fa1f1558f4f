#pragma once

#include "models/FileNode.h"

#include <QListView>

#include <memory>

class QMenu;

namespace plenvo {

class AppState;
class FileActions;
class FileListModel;
class FileRowDelegate;
class FileSelectionModel;

// A list of files to review and move to the Trash: several rows can be selected with the usual
// gestures (click, Ctrl+click, Shift+click, Shift+arrows, Ctrl+A); a right click on a row that
// is not selected selects it first, as file managers do, then opens the menu of the view's
// actions (reveal, copy the path, move to the Trash), which act on the selection; Delete moves
// the selection to the Trash; the Menu key or Shift+F10 opens the menu at the current row.
//
// The model, the selection and the actions belong to the owner, who shares them with the
// action bar. The list mirrors the selection into the application's state: the row that stands
// for the selection (FileSelectionModel::focusRow) becomes AppState::selectedNode(), and the
// rows become AppState::inspectorCandidateNodes(). When rows leave after an edit of the result,
// the list takes the selection the result's editor chose (AppState::selectedNode()) and, with
// autoSelectFirst, never stays without a selection while it has rows.
class FileOperationList : public QListView {
    Q_OBJECT

public:
    FileOperationList(AppState& state, FileSelectionModel& selection, FileActions& actions,
                      QWidget* parent = nullptr);
    ~FileOperationList() override;

    FileListModel* fileModel() const;
    FileSelectionModel& fileSelection() const { return m_selection; }
    FileRowDelegate* rowDelegate() const { return m_delegate; }

    // Select the first row whenever the selection would otherwise be empty.
    void setAutoSelectFirst(bool on) { m_autoSelectFirst = on; }
    bool autoSelectFirst() const { return m_autoSelectFirst; }

    // Repairs the selection after the rows changed: the application's selected node, when it is
    // a row here, is selected (alone, unless it already was); with nothing selected and
    // autoSelectFirst, the first row is; AppState::selectedNode() becomes the file that stands
    // for the selection.
    void reconcileSelectionWithFiles();

    // The menu of the view's actions for the selection.
    std::unique_ptr<QMenu> createContextMenu();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void rowsChanged();
    void mirrorSelection();
    void showInApplication(const NodeRef& node);

    AppState& m_state;
    FileSelectionModel& m_selection;
    FileActions& m_actions;
    FileRowDelegate* m_delegate;
    bool m_autoSelectFirst = false;
};

} // namespace plenvo
