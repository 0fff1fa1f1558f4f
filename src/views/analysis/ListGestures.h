#pragma once

#include <QModelIndex>
#include <QPoint>

#include <optional>

class QAbstractItemView;
class QAction;
class QContextMenuEvent;
class QKeyEvent;
class QMouseEvent;

namespace plenvo {

// The gestures the lists of files share beyond their views' own. The right button belongs to
// the context menu: its press chooses nothing; the menu is about the row under the pointer,
// chosen first when it is not (alone), as file managers do. The Menu key and Shift+F10 ask for
// the menu of the current row; Delete triggers the list's Trash action when its shortcut did
// not take the key (the window is not the active one).
class ListGestures {
public:
    // What the lists share beyond their gestures: no frame, several rows selected with the usual
    // gestures, scrolling by pixels, no horizontal scrolling, nothing edited in place; and the
    // Trash action added to the list, so that its Delete shortcut works while it has the focus.
    static void setUp(QAbstractItemView& list, QAction* trash);
    // True when the key was one of these, and was taken.
    static bool handleKey(QAbstractItemView& list, QKeyEvent* event, QAction* trash);
    // True when the press was the right button's, and was taken.
    static bool takeRightPress(QMouseEvent* event);
    // Where the menu asked for by `event` opens, after choosing its row; none when a click
    // was beside the rows (the event is then ignored). From the keyboard the menu is about
    // `keyboardRow` and opens below its start.
    static std::optional<QPoint> prepareMenu(QAbstractItemView& list, QContextMenuEvent* event,
                                             const QModelIndex& keyboardRow);
};

} // namespace plenvo
