#pragma once

#include <QModelIndex>
#include <QPoint>

class QAbstractItemView;
class QAction;
class QKeyEvent;

namespace plenvo {

// The keys the lists of files share beyond their views' own: the Menu key and Shift+F10 ask
// the list for its context menu (a keyboard QContextMenuEvent); Delete triggers the list's
// Trash action when its shortcut did not take the key (the window is not the active one).
class ListKeys {
public:
    // True when the key was one of these, and was taken.
    static bool handle(QAbstractItemView& list, QKeyEvent* event, QAction* trash);
    // Where a menu asked for by the keyboard opens for the row `index`: below its start.
    static QPoint menuPosition(const QAbstractItemView& list, const QModelIndex& index);
};

} // namespace plenvo
