#include "ListGestures.h"

#include <QAbstractItemView>
#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>

namespace plenvo {

void ListGestures::setUp(QAbstractItemView& list, QAction* trash)
{
    list.setFrameShape(QFrame::NoFrame);
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    list.setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list.setEditTriggers(QAbstractItemView::NoEditTriggers);
    list.addAction(trash);
}

bool ListGestures::handleKey(QAbstractItemView& list, QKeyEvent* event, QAction* trash)
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

bool ListGestures::takeRightPress(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton)
        return false;
    event->accept();
    return true;
}

std::optional<QPoint> ListGestures::prepareMenu(QAbstractItemView& list, QContextMenuEvent* event,
                                                const QModelIndex& keyboardRow)
{
    QItemSelectionModel& selection = *list.selectionModel();
    if (event->reason() == QContextMenuEvent::Mouse) {
        const QModelIndex index = list.indexAt(event->pos());
        if (!index.isValid()) {
            event->ignore();
            return std::nullopt;
        }
        if (!selection.isSelected(index)) {
            selection.setCurrentIndex(index, QItemSelectionModel::NoUpdate);
            selection.select(index, QItemSelectionModel::ClearAndSelect |
                                        QItemSelectionModel::Rows);
        } else {
            selection.setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        }
        event->accept();
        return event->globalPos();
    }
    event->accept();
    if (!keyboardRow.isValid())
        return event->globalPos();
    list.scrollTo(keyboardRow);
    const QRect rect = list.visualRect(keyboardRow);
    return list.viewport()->mapToGlobal(QPoint(rect.left() + rect.height(), rect.bottom()));
}

} // namespace plenvo
