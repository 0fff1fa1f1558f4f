#pragma once

#include "models/FileNode.h"

#include <QWidget>

#include <memory>
#include <vector>

class QMenu;

class QPushButton;
class QToolButton;

namespace plenvo {

class AppState;
class Clipboard;
class FileActions;
class FileManager;
class StyledLabel;
class TreemapCanvas;

// One folder of the scan as a treemap: a header bar with the way home, the folder's name and
// size and, below the root, a button one level up; under it the tiles of the folder's
// children. A click on a folder tile opens that folder, a click on a file tile reveals the file
// in the file manager (for a result opened from a file, a toast says why it cannot). A right
// click on a tile offers the actions on files (reveal, copy the path, move to the Trash) for
// that file or folder. The view stays in its folder when the tree changes; when the folder
// itself leaves the tree, it shows the nearest folder above it that is still there.
class TreeMapView : public QWidget {
    Q_OBJECT

public:
    TreeMapView(AppState& state, FileManager& fileManager, Clipboard& clipboard,
                QWidget* parent = nullptr);

    const NodeRef& rootNode() const { return m_root; }
    const NodeRef& currentNode() const { return m_current; }
    // Opens `folder`, cross-fading as a click on its tile does; files are ignored.
    void setCurrentNode(NodeRef folder);
    // Back to the scanned folder at once.
    void goHome();
    // One level up, cross-fading; nothing at the root.
    void goBack();

    TreemapCanvas* canvas() const { return m_canvas; }
    QToolButton* homeButton() const { return m_home; }
    QPushButton* backButton() const { return m_back; }
    QString folderNameText() const;
    QString sizeText() const;
    // The actions of the tile menu; they act on the tile the menu was opened on.
    FileActions* actions() const { return m_actions; }
    std::unique_ptr<QMenu> createTileMenu(const NodeRef& node);

private:
    void navigate(NodeRef folder, bool animated);
    void contentChanged();
    void aboutToRemove(const std::vector<NodeRef>& nodes);
    void updateHeader();

    AppState& m_state;
    FileManager& m_fileManager;
    NodeRef m_root;
    NodeRef m_current;
    NodeRef m_afterRemoval; // where to go once the folder shown has left the tree
    NodeRef m_menuTarget;
    FileActions* m_actions;
    QToolButton* m_home;
    StyledLabel* m_name;
    StyledLabel* m_size;
    QPushButton* m_back;
    TreemapCanvas* m_canvas;
};

} // namespace plenvo
