#pragma once

#include "models/FileNode.h"

#include <QWidget>

class QPushButton;
class QToolButton;

namespace plenvo {

class AppState;
class FileManager;
class StyledLabel;
class TreemapCanvas;

// One folder of the scan as a treemap: a header bar with the way home, the folder's name and
// size and, below the root, a button one level up; under it the tiles of the folder's
// children. A click on a folder tile opens that folder, a click on a file tile reveals the file
// in the file manager (for a result opened from a file, a toast says why it cannot). The view
// stays in its folder when the tree changes.
class TreeMapView : public QWidget {
    Q_OBJECT

public:
    TreeMapView(AppState& state, FileManager& fileManager, QWidget* parent = nullptr);

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

private:
    void navigate(NodeRef folder, bool animated);
    void contentChanged();
    void updateHeader();

    AppState& m_state;
    FileManager& m_fileManager;
    NodeRef m_root;
    NodeRef m_current;
    QToolButton* m_home;
    StyledLabel* m_name;
    StyledLabel* m_size;
    QPushButton* m_back;
    TreemapCanvas* m_canvas;
};

} // namespace plenvo
