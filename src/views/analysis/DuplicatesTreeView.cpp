#include "DuplicatesTreeView.h"

#include "DuplicateActions.h"
#include "DuplicateGroupsModel.h"
#include "DuplicateRowDelegate.h"
#include "ListGestures.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace plenvo {

DuplicatesTreeView::DuplicatesTreeView(DuplicateGroupsModel& model, DuplicateActions& actions,
                                       QWidget* parent)
    : QTreeView(parent), m_model(model), m_actions(actions),
      m_delegate(new DuplicateRowDelegate(this))
{
    setObjectName(QStringLiteral("duplicatesList"));
    ListGestures::setUp(*this, actions.moveToTrash());
    setHeaderHidden(true);
    setUniformRowHeights(true); // a long list costs nothing to lay out
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setItemDelegate(m_delegate);
    setModel(&model);

    const auto schedule = [this] {
        if (m_fetchPosted)
            return;
        m_fetchPosted = true;
        QTimer::singleShot(0, this, &DuplicatesTreeView::fetchVisible);
    };
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, schedule);
    connect(this, &QTreeView::expanded, this, schedule);
    connect(&model, &DuplicateGroupsModel::synced, this, schedule);
    connect(&model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex& parent, int first, int last) {
                if (!parent.isValid())
                    openGroups(first, last);
            });
    connect(&model, &QAbstractItemModel::modelReset, this, [this] {
        m_opened = 0;
        openGroups(0, m_model.rowCount() - 1);
    });
    openGroups(0, m_model.rowCount() - 1);
}

void DuplicatesTreeView::openGroups(int first, int last)
{
    for (int row = first; row <= last && m_opened < kOpenedGroups; ++row) {
        const QModelIndex group = m_model.index(row, 0);
        if (group.data(DuplicateGroupsModel::CopiesRole).toInt() > kOpenedGroupSize)
            continue;
        setExpanded(group, true);
        ++m_opened;
    }
}

QModelIndexList DuplicatesTreeView::chosenRows() const
{
    return selectionModel()->selectedRows();
}

void DuplicatesTreeView::fetchVisible()
{
    m_fetchPosted = false;
    executeDelayedItemsLayout();
    // The rows in sight, top to bottom: a group whose last file shown is among them shows
    // more; so does the list when its end is in sight. One page at a time: the next look comes
    // with the rows it brings.
    int rows = viewport()->height() / std::max(1, m_delegate->rowHeight()) + 1;
    QModelIndex index = indexAt(QPoint(0, 0));
    if (!index.isValid() && m_model.rowCount() > 0)
        return; // not laid out
    for (; index.isValid(); index = indexBelow(index)) {
        if (!m_model.isGroup(index)) {
            const QModelIndex group = index.parent();
            if (index.row() == m_model.rowCount(group) - 1 && m_model.hasMore(group)) {
                m_model.showMore(group);
                return;
            }
        }
        if (--rows < 0)
            return; // the end of the list is out of sight
    }
    if (m_model.hasMore({}))
        m_model.showMore({});
}

void DuplicatesTreeView::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
    if (!m_fetchPosted) {
        m_fetchPosted = true;
        QTimer::singleShot(0, this, &DuplicatesTreeView::fetchVisible);
    }
}

void DuplicatesTreeView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        if (m_actions.toggleMarks()->isEnabled())
            m_actions.toggleMarks()->trigger();
        event->accept();
        return;
    }
    if (!ListGestures::handleKey(*this, event, m_actions.moveToTrash()))
        QTreeView::keyPressEvent(event);
}

void DuplicatesTreeView::mousePressEvent(QMouseEvent* event)
{
    // A right click is the menu's: it chooses in contextMenuEvent, never extends a choice.
    if (!ListGestures::takeRightPress(event))
        QTreeView::mousePressEvent(event);
}

void DuplicatesTreeView::contextMenuEvent(QContextMenuEvent* event)
{
    if (const std::optional<QPoint> at = ListGestures::prepareMenu(*this, event, currentIndex()))
        Q_EMIT menuRequested(*at);
}

} // namespace plenvo
