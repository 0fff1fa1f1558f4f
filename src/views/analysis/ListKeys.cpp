#include "ListKeys.h"

#include <QAbstractItemView>
#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>

namespace plenvo {

bool ListKeys::handle(QAbstractItemView& list, QKeyEvent* event, QAction* trash)
{
    const bool menuKey = event->key() == Qt::Key_Menu ||
                         (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (menuKey) {
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
        QCoreApplication::sendEvent(&list, &menuEvent);
        return true;
    }
    if (event->matches(QKeySequence::Delete)) {
        if (trash->isEnabled())
            trash->trigger();
        event->accept();
        return true;
    }
    return false;
}

QPoint ListKeys::menuPosition(const QAbstractItemView& list, const QModelIndex& index)
{
    const QRect rect = list.visualRect(index);
    return list.viewport()->mapToGlobal(QPoint(rect.left() + rect.height(), rect.bottom()));
}

} // namespace plenvo
