#pragma once

#include "models/FileNode.h"

#include <QObject>

#include <QPoint>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAbstractItemView;
class QAction;
class QContextMenuEvent;
class QKeyEvent;
class QMenu;
class QWidget;

namespace plenvo {

class AppState;
class Clipboard;
class FileManager;

// The actions on the files a view has selected: reveal them in the file manager, copy their
// paths, move them to the Trash (Delete). One set per view, shared by everything in it that
// offers them (a list's context menu and keys, the action bar, a treemap's menu), always acting
// on the view's one selection, which `selection` reads.
//
// Call refresh() when the selection changes. Moving to the Trash is enabled as the result's
// editor allows (ResultEditor::canMoveToTrash(), followed live) and says why not in its tooltip;
// reveal is off for a result opened from a file (its files are not on this machine).
class FileActions : public QObject {
    Q_OBJECT

public:
    using Selection = std::function<std::vector<NodeRef>()>;

    FileActions(AppState& state, FileManager& fileManager, Clipboard& clipboard,
                Selection selection, QObject* parent = nullptr);

    QAction* reveal() const { return m_reveal; }
    QAction* copyPath() const { return m_copyPath; }
    QAction* moveToTrash() const { return m_moveToTrash; }

    // A menu of the actions (refreshed first), with their tooltips (why one is off), and Move to
    // Trash drawn as destructive.
    std::unique_ptr<QMenu> createMenu(QWidget* parent);

    // Whether the actions that act on this machine's files are off with a reason to show.
    bool explainsRefusal() const;
    void refresh();

private:
    void revealSelection();
    void copySelection();
    void moveSelectionToTrash();

    AppState& m_state;
    FileManager& m_fileManager;
    Clipboard& m_clipboard;
    Selection m_selection;
    QAction* m_reveal;
    QAction* m_copyPath;
    QAction* m_moveToTrash;
};

} // namespace plenvo
