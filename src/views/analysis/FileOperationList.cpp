#include "FileOperationList.h"

#include "AppState.h"
#include "FileActions.h"
#include "FileListModel.h"
#include "FileRowDelegate.h"
#include "FileSelectionModel.h"
#include "platform/Clipboard.h"
#include "platform/FileManager.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>

namespace plenvo {

FileOperationList::FileOperationList(AppState& state, FileSelectionModel& selection,
                                     FileActions& actions, FileManager& fileManager,
                                     Clipboard& clipboard, QWidget* parent)
    : QListView(parent), m_state(state), m_selection(selection), m_actions(actions),
      m_fileManager(fileManager), m_clipboard(clipboard), m_delegate(new FileRowDelegate(this))
{
    setObjectName(QStringLiteral("fileOperationList"));
    setFrameShape(QFrame::NoFrame);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(m_delegate);
    setModel(selection.fileModel());
    QItemSelectionModel* created = QListView::selectionModel();
    setSelectionModel(&selection); // the owner's, shared with the action bar
    delete created;
    addAction(actions.moveToTrash()); // its Delete shortcut works while the list has the focus

    FileListModel* model = selection.fileModel();
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this,
            &FileOperationList::filesAboutToBeReset);
    connect(model, &QAbstractItemModel::modelReset, this, &FileOperationList::filesReset);
    connect(model, &QAbstractItemModel::rowsInserted, this, &FileOperationList::rowsChanged);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &FileOperationList::rowsChanged);
    connect(&selection, &QItemSelectionModel::selectionChanged, this,
            &FileOperationList::mirrorSelection);
    connect(&selection, &QItemSelectionModel::currentChanged, this,
            &FileOperationList::mirrorSelection);
    connect(actions.reveal(), &QAction::triggered, this, &FileOperationList::revealTarget);
    connect(actions.copyPath(), &QAction::triggered, this, &FileOperationList::copyTargetPath);
    connect(actions.moveToTrash(), &QAction::triggered, this,
            &FileOperationList::moveTargetToTrash);
}

FileOperationList::~FileOperationList() = default;

FileListModel* FileOperationList::fileModel() const
{
    return m_selection.fileModel();
}

void FileOperationList::showInApplication(const NodeRef& node)
{
    if (m_state.selectedNode().get() != node.get())
        m_state.setSelectedNode(node);
}

void FileOperationList::mirrorSelection()
{
    const int row = m_selection.focusRow();
    showInApplication(row >= 0 ? fileModel()->nodeAt(row) : NodeRef());
}

void FileOperationList::reconcileSelectionWithFiles(bool selectFirstIfEmpty)
{
    if (!m_selection.hasSelection() && selectFirstIfEmpty && fileModel()->rowCount() > 0) {
        m_selection.selectOnly(0);
        showInApplication(fileModel()->nodeAt(0));
        return;
    }
    mirrorSelection();
}

void FileOperationList::prepareSelectionForDeleting(const NodeIdSet& ids)
{
    const NodeRef& shown = m_state.selectedNode();
    if (shown && !ids.count(shown->id())) {
        const NodeIdSet selected = m_selection.selectedIds();
        const bool touchesSelection = std::any_of(
            ids.begin(), ids.end(), [&](const NodeId& id) { return selected.count(id); });
        if (!touchesSelection)
            return; // what the user is looking at stays
    }
    const int row = m_selection.firstRowNotIn(ids);
    m_selection.selectOnly(row);
    showInApplication(row >= 0 ? fileModel()->nodeAt(row) : NodeRef());
}

void FileOperationList::filesAboutToBeReset()
{
    // The rows still carry their old ids here, also when the owner's list changed already.
    m_kept.ids = m_selection.selectedIds();
    const QModelIndex current = m_selection.currentIndex();
    m_kept.current = current.isValid() ? fileModel()->idAt(current.row()) : NodeId();
    m_kept.valid = true;
}

void FileOperationList::filesReset()
{
    // The view keeps its scroll position over a reset; making the kept row current again
    // scrolls it into view when the rows moved under it.
    if (m_kept.valid)
        m_selection.selectIds(m_kept.ids, m_kept.current);
    m_kept = {};
    rowsChanged();
}

void FileOperationList::rowsChanged()
{
    m_state.setInspectorCandidateNodes(fileModel()->shownFiles());
    reconcileSelectionWithFiles(m_autoSelectFirst);
}

std::unique_ptr<QMenu> FileOperationList::createContextMenu(int row)
{
    NodeRef file = fileModel()->nodeAt(row);
    if (!file)
        return nullptr;
    auto menu = std::make_unique<QMenu>(this);
    menu->setToolTipsVisible(m_actions.isReadOnly()); // why reveal and Trash are off
    menu->addAction(m_actions.reveal());
    menu->addAction(m_actions.copyPath());
    menu->addSeparator();
    menu->addAction(m_actions.moveToTrash());
    m_actions.setTarget(std::move(file));
    connect(menu.get(), &QObject::destroyed, &m_actions,
            [actions = &m_actions] { actions->clearTarget(); });
    return menu;
}

void FileOperationList::contextMenuEvent(QContextMenuEvent* event)
{
    QModelIndex index;
    QPoint position = event->globalPos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        index = indexAt(event->pos());
    } else {
        index = currentIndex();
        if (!index.isValid() && m_selection.focusRow() >= 0)
            index = fileModel()->index(m_selection.focusRow());
        if (index.isValid()) {
            scrollTo(index);
            const QRect rect = visualRect(index);
            position = viewport()->mapToGlobal(QPoint(rect.left() + rect.height(), rect.bottom()));
        }
    }
    event->accept();
    if (const std::unique_ptr<QMenu> menu = createContextMenu(index.row()))
        menu->exec(position);
}

void FileOperationList::mousePressEvent(QMouseEvent* event)
{
    // A right click opens the row's menu without changing the selection.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void FileOperationList::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QListView::mouseReleaseEvent(event);
}

void FileOperationList::keyPressEvent(QKeyEvent* event)
{
    const bool menuKey = event->key() == Qt::Key_Menu ||
                         (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (menuKey) {
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
        contextMenuEvent(&menuEvent);
        return;
    }
    // Delete, when the shortcut did not take it (the window is not the active one).
    if (event->matches(QKeySequence::Delete)) {
        if (m_actions.moveToTrash()->isEnabled() && !m_actions.target())
            m_actions.moveToTrash()->trigger();
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void FileOperationList::revealTarget()
{
    if (const NodeRef& file = m_actions.target())
        m_fileManager.revealItems({file->pathBytes()});
}

void FileOperationList::copyTargetPath()
{
    if (const NodeRef& file = m_actions.target())
        m_clipboard.copyPath(file->pathBytes());
}

void FileOperationList::moveTargetToTrash()
{
    const NodeRef file = m_actions.target();
    if (!file)
        return;                 // the selection's: the action bar moves it
    if (!m_state.isExporting()) // else refused, with a toast: the selection stays
        prepareSelectionForDeleting({file->id()});
    m_state.deleteFile(file);
}

} // namespace plenvo
