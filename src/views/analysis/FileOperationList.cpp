#include "FileOperationList.h"

#include "AppState.h"
#include "FileActions.h"
#include "FileListModel.h"
#include "FileRowDelegate.h"
#include "FileSelectionModel.h"
#include "ListGestures.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>

namespace plenvo {

FileOperationList::FileOperationList(AppState& state, FileSelectionModel& selection,
                                     FileActions& actions, QWidget* parent)
    : QListView(parent), m_state(state), m_selection(selection), m_actions(actions),
      m_delegate(new FileRowDelegate(this))
{
    setObjectName(QStringLiteral("fileOperationList"));
    ListGestures::setUp(*this, actions.moveToTrash());
    setUniformItemSizes(true);
    setItemDelegate(m_delegate);
    setModel(selection.fileModel());
    QItemSelectionModel* created = QListView::selectionModel();
    setSelectionModel(&selection); // the owner's, shared with the action bar
    delete created;

    FileListModel* model = selection.fileModel();
    connect(model, &QAbstractItemModel::modelReset, this, &FileOperationList::rowsChanged);
    connect(model, &FileListModel::synced, this, &FileOperationList::rowsChanged);
    connect(&selection, &QItemSelectionModel::selectionChanged, this,
            &FileOperationList::mirrorSelection);
    connect(&selection, &QItemSelectionModel::currentChanged, this,
            &FileOperationList::mirrorSelection);
}

FileOperationList::~FileOperationList() = default;

FileListModel* FileOperationList::fileModel() const
{
    return m_selection.fileModel();
}

void FileOperationList::showInApplication(const NodeRef& node)
{
    m_state.setSelectedNode(node);
}

void FileOperationList::mirrorSelection()
{
    // While rows leave or arrive the selection passes through states nobody chose.
    if (fileModel()->isSyncing())
        return;
    m_actions.refresh();
    const int row = m_selection.focusRow();
    showInApplication(row >= 0 ? fileModel()->nodeAt(row) : NodeRef());
}

void FileOperationList::reconcileSelectionWithFiles()
{
    const int chosen = fileModel()->rowOf(m_state.selectedNode().get());
    if (chosen >= 0 && !m_selection.isRowSelected(chosen, {}))
        m_selection.selectOnly(chosen);
    else if (!m_selection.hasSelection() && m_autoSelectFirst && fileModel()->rowCount() > 0)
        m_selection.selectOnly(0);
    mirrorSelection();
}

void FileOperationList::rowsChanged()
{
    m_state.setInspectorCandidateNodes(fileModel()->shownFiles());
    reconcileSelectionWithFiles();
    // When rows above it left, the row that stands for the selection stays in sight.
    if (const int row = m_selection.focusRow(); row >= 0)
        scrollTo(fileModel()->index(row), QAbstractItemView::EnsureVisible);
}

std::unique_ptr<QMenu> FileOperationList::createContextMenu()
{
    if (!m_selection.hasSelection())
        return nullptr;
    return m_actions.createMenu(this);
}

void FileOperationList::contextMenuEvent(QContextMenuEvent* event)
{
    QModelIndex keyboardRow = currentIndex();
    if (!keyboardRow.isValid() || !m_selection.isSelected(keyboardRow))
        keyboardRow = fileModel()->index(m_selection.focusRow());
    if (const std::optional<QPoint> at = ListGestures::prepareMenu(*this, event, keyboardRow))
        if (const std::unique_ptr<QMenu> menu = createContextMenu())
            menu->exec(*at);
}

void FileOperationList::mousePressEvent(QMouseEvent* event)
{
    // A right click is the menu's: it selects in contextMenuEvent, never extends a selection.
    if (!ListGestures::takeRightPress(event))
        QListView::mousePressEvent(event);
}

void FileOperationList::keyPressEvent(QKeyEvent* event)
{
    if (!ListGestures::handleKey(*this, event, m_actions.moveToTrash()))
        QListView::keyPressEvent(event);
}

} // namespace plenvo
