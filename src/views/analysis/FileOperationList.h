#pragma once

#include "models/FileNode.h"

#include <QListView>

#include <memory>

class QMenu;

namespace plenvo {

class AppState;
class Clipboard;
class FileActions;
class FileListModel;
class FileManager;
class FileRowDelegate;
class FileSelectionModel;

// A list of files to review and move to the Trash: several rows can be selected with the usual
// gestures (click, Ctrl+click, Shift+click, Shift+arrows, Ctrl+A), each row has a context menu
// (reveal, copy the path, move to the Trash), Delete moves the selection to the Trash like the
// action bar's button, and the Menu key or Shift+F10 opens the menu of the current row.
//
// The model, the selection and the actions belong to the owner, who shares them with the
// action bar. The list keeps the selection consistent with its rows and mirrors it into the
// application's state: the row that stands for the selection (FileSelectionModel::focusRow)
// becomes AppState::selectedNode(), and the rows become AppState::inspectorCandidateNodes()
// whenever they change. When the owner resets the model (after the files changed), the
// selected files that are still there stay selected and the scroll position is kept.
class FileOperationList : public QListView {
    Q_OBJECT

public:
    FileOperationList(AppState& state, FileSelectionModel& selection, FileActions& actions,
                      FileManager& fileManager, Clipboard& clipboard, QWidget* parent = nullptr);
    ~FileOperationList() override;

    FileListModel* fileModel() const;
    FileSelectionModel& fileSelection() const { return m_selection; }
    FileRowDelegate* rowDelegate() const { return m_delegate; }

    // Select the first row whenever the selection would otherwise be empty.
    void setAutoSelectFirst(bool on) { m_autoSelectFirst = on; }
    bool autoSelectFirst() const { return m_autoSelectFirst; }

    // Repairs the application's selection after the rows changed: with nothing selected and
    // `selectFirstIfEmpty`, the first row is selected; AppState::selectedNode() becomes the
    // file that stands for the selection, or none.
    void reconcileSelectionWithFiles(bool selectFirstIfEmpty);
    // Before the files with `ids` are moved to the Trash one by one: unless the deletion leaves
    // alone both the selection and the node the inspector shows, the first row not being
    // deleted becomes the only selection (none when there is none).
    void prepareSelectionForDeleting(const NodeIdSet& ids);

    // The context menu of a row; while it exists, the shared actions act on that row's file.
    std::unique_ptr<QMenu> createContextMenu(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Kept {
        NodeIdSet ids;
        NodeId current;
        bool valid = false;
    };

    void filesAboutToBeReset();
    void filesReset();
    void rowsChanged();
    void mirrorSelection();
    void showInApplication(const NodeRef& node);
    void revealTarget();
    void copyTargetPath();
    void moveTargetToTrash();

    AppState& m_state;
    FileSelectionModel& m_selection;
    FileActions& m_actions;
    FileManager& m_fileManager;
    Clipboard& m_clipboard;
    FileRowDelegate* m_delegate;
    Kept m_kept;
    bool m_autoSelectFirst = false;
};

} // namespace plenvo
