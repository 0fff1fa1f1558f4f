#include "SidebarView.h"

#include "AppState.h"
#include "ChangesTracker.h"
#include "SidebarDelegate.h"
#include "SidebarModel.h"
#include "utils/Localization.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>

namespace plenvo {

namespace {

constexpr int kIdealWidth = 220;
constexpr int kMinimumWidth = 180;

bool isActivatable(const QModelIndex& index)
{
    return index.flags().testFlag(Qt::ItemIsEnabled);
}

} // namespace

SidebarView::SidebarView(AppState& state, QWidget* parent)
    : QListView(parent), m_state(state), m_model(new SidebarModel(this)),
      m_delegate(new SidebarDelegate(this))
{
    setModel(m_model);
    setItemDelegate(m_delegate);
    setAccessibleName(L("sidebar.views"));
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setFrameShape(NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(ScrollPerPixel);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    // The sidebar sits on the window's background, margins and rows alike.
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Window);
    setViewportMargins(SidebarDelegate::kSideInset, SidebarDelegate::kTopInset,
                       SidebarDelegate::kSideInset, SidebarDelegate::kBottomInset);

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SidebarView::storeSelection);
    connect(&m_state, &AppState::scanResultChanged, this, [this] {
        m_model->setHasResult(m_state.scanResult() != nullptr);
        followNavigation();
        updateGeometry();
    });
    connect(&m_state, &AppState::navigationSelectionChanged, this, &SidebarView::followNavigation);
    connect(&m_state.changes(), &ChangesTracker::availabilityChanged, this, [this] {
        m_model->setOffersChanges(m_state.changes().isAvailable());
        followNavigation();
        updateGeometry();
    });
    m_model->setHasResult(m_state.scanResult() != nullptr);
    m_model->setOffersChanges(m_state.changes().isAvailable());
    followNavigation();
}

std::optional<SidebarItem> SidebarView::selectedItem() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? std::nullopt : SidebarModel::itemOf(selected.front());
}

int SidebarView::contentHeight() const
{
    int height = SidebarDelegate::kTopInset + SidebarDelegate::kBottomInset;
    for (int row = 0; row < m_model->rowCount(); ++row)
        height += sizeHintForRow(row);
    return height;
}

QSize SidebarView::sizeHint() const
{
    return {kIdealWidth, contentHeight()};
}

QSize SidebarView::minimumSizeHint() const
{
    // Shorter than its rows, the list scrolls.
    return {kMinimumWidth, QListView::minimumSizeHint().height()};
}

void SidebarView::activate(const QModelIndex& index)
{
    if (SidebarModel::kindOf(index) == SidebarModel::RowKind::newScan)
        m_state.setShowDirectoryPicker(true);
    else if (const std::optional<SidebarItem> item = SidebarModel::itemOf(index))
        m_state.setNavigationSelection(item);
}

void SidebarView::followNavigation()
{
    const std::optional<SidebarItem> item = m_state.navigationSelection();
    const QModelIndex index = item ? m_model->indexOf(*item) : QModelIndex();
    const QScopedValueRollback following(m_following, true);
    if (index.isValid())
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    else
        selectionModel()->clearSelection();
}

void SidebarView::storeSelection()
{
    if (m_following)
        return;
    if (const std::optional<SidebarItem> item = selectedItem())
        m_state.setNavigationSelection(item);
}

QModelIndex SidebarView::moveCursor(CursorAction action, Qt::KeyboardModifiers)
{
    const int count = m_model->rowCount();
    const QModelIndex current = currentIndex();
    int from = current.isValid() ? current.row() : -1;
    int step = 1;
    switch (action) {
    case MoveUp:
    case MovePrevious:
        from = current.isValid() ? current.row() : count;
        step = -1;
        break;
    case MoveDown:
    case MoveNext:
        break;
    case MoveHome:
    case MovePageUp:
        from = -1;
        break;
    case MoveEnd:
    case MovePageDown:
        from = count;
        step = -1;
        break;
    case MoveLeft:
    case MoveRight:
        return current;
    }
    for (int row = from + step; row >= 0 && row < count; row += step)
        if (isActivatable(m_model->index(row)))
            return m_model->index(row);
    return current;
}

QItemSelectionModel::SelectionFlags SidebarView::selectionCommand(const QModelIndex& index,
                                                                  const QEvent* event) const
{
    // Moving onto the new-scan row leaves the selection alone, and a row is selected when
    // pressed: a release selects nothing (also after a press on the new-scan row) and deselects
    // nothing (Ctrl held over the selected row). There is always the one destination.
    if (!index.flags().testFlag(Qt::ItemIsSelectable) ||
        (event && event->type() == QEvent::MouseButtonRelease))
        return QItemSelectionModel::NoUpdate;
    return QListView::selectionCommand(index, event);
}

void SidebarView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (currentIndex().isValid()) {
            activate(currentIndex());
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QListView::keyPressEvent(event);
}

void SidebarView::showPressed(bool pressed)
{
    const int row = pressed ? m_pressed.row() : -1;
    if (row == m_delegate->pressedRow())
        return;
    m_delegate->setPressedRow(row);
    viewport()->update();
}

void SidebarView::mousePressEvent(QMouseEvent* event)
{
    // The new-scan row is a button: a press neither selects it nor makes it the current row.
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton &&
        SidebarModel::kindOf(index) == SidebarModel::RowKind::newScan) {
        m_pressed = index;
        showPressed(true);
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void SidebarView::mouseMoveEvent(QMouseEvent* event)
{
    // A press selects its row and no other: dragging over the rows does not sweep the
    // selection along. The new-scan button shows whether a release would press it.
    if (event->buttons() & Qt::LeftButton) {
        if (m_pressed.isValid())
            showPressed(visualRect(m_pressed).contains(event->position().toPoint()));
        event->accept();
        return;
    }
    QListView::mouseMoveEvent(event);
}

void SidebarView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressed.isValid()) {
        QListView::mouseReleaseEvent(event);
        return;
    }
    const QModelIndex pressed = m_pressed;
    m_pressed = QPersistentModelIndex();
    showPressed(false);
    event->accept();
    if (visualRect(pressed).contains(event->position().toPoint()))
        activate(pressed);
}

void SidebarView::changeEvent(QEvent* event)
{
    QListView::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::ApplicationFontChange:
    case QEvent::StyleChange:
        // The rows take their fonts from the application's; their heights follow.
        scheduleDelayedItemsLayout();
        updateGeometry();
        break;
    default:
        break;
    }
}

} // namespace plenvo
