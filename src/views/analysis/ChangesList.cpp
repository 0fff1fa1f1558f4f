#include "ChangesList.h"

#include "AppState.h"
#include "ChangeRowDelegate.h"
#include "ChangesModel.h"
#include "FileActions.h"
#include "ListGestures.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>

namespace plenvo {

ChangesList::ChangesList(AppState& state, ChangesModel& model, FileActions& actions,
                         QWidget* parent)
    : QListView(parent), m_state(state), m_model(model), m_actions(actions),
      m_delegate(new ChangeRowDelegate(this))
{
    setObjectName(QStringLiteral("changesList"));
    ListGestures::setUp(*this, actions.moveToTrash());
    setUniformItemSizes(true);
    setItemDelegate(m_delegate);
    setModel(&model);

    connect(this, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
        m_model.open(index.row());
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ChangesList::mirrorSelection);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            &ChangesList::mirrorSelection);
    connect(&model, &ChangesModel::synced, this, &ChangesList::rowsChanged);
    connect(&model, &QAbstractItemModel::modelReset, this, &ChangesList::rowsChanged);
}

std::vector<NodeRef> ChangesList::selectedNodes() const
{
    QModelIndexList rows = selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<NodeRef> nodes;
    for (const QModelIndex& index : rows)
        if (NodeRef node = m_model.nodeAt(index.row()))
            nodes.push_back(std::move(node));
    return nodes;
}

int ChangesList::focusRow() const
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && selectionModel()->isSelected(current))
        return current.row();
    int first = -1;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        if (first < 0 || index.row() < first)
            first = index.row();
    return first;
}

bool ChangesList::openFocusRow()
{
    return m_model.open(focusRow());
}

void ChangesList::mirrorSelection()
{
    m_actions.refresh();
    const int row = focusRow();
    m_state.setSelectedNode(row >= 0 ? m_model.nodeAt(row) : NodeRef());
}

void ChangesList::rowsChanged()
{
    m_state.setInspectorCandidateNodes(m_model.nodes());
    mirrorSelection();
    if (const int row = focusRow(); row >= 0)
        scrollTo(m_model.index(row), QAbstractItemView::EnsureVisible);
}

void ChangesList::contextMenuEvent(QContextMenuEvent* event)
{
    QModelIndex keyboardRow = currentIndex();
    if (!keyboardRow.isValid() || !selectionModel()->isSelected(keyboardRow))
        keyboardRow = m_model.index(focusRow());
    if (const std::optional<QPoint> at = ListGestures::prepareMenu(*this, event, keyboardRow))
        if (selectionModel()->hasSelection())
            m_actions.createMenu(this)->exec(*at);
}

void ChangesList::mousePressEvent(QMouseEvent* event)
{
    if (!ListGestures::takeRightPress(event))
        QListView::mousePressEvent(event);
}

void ChangesList::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        openFocusRow();
        event->accept();
        return;
    case Qt::Key_Backspace:
        m_model.goUp();
        event->accept();
        return;
    default:
        break;
    }
    if (!ListGestures::handleKey(*this, event, m_actions.moveToTrash()))
        QListView::keyPressEvent(event);
}

} // namespace plenvo
