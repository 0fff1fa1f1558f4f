#include "DuplicateActions.h"

#include "AppState.h"
#include "DuplicateChoice.h"
#include "DuplicateGroupsModel.h"
#include "theme/DestructiveMenuStyle.h"
#include "theme/Icons.h"
#include "utils/Localization.h"

#include <QAction>

namespace plenvo {

DuplicateActions::DuplicateActions(AppState& state, DuplicateGroupsModel& model, Rows rows,
                                   Current current, QObject* parent)
    : QObject(parent), m_state(state), m_model(model), m_rows(std::move(rows)),
      m_current(std::move(current))
{
    const auto make = [this](const char* key, const char* name) {
        auto* action = new QAction(L(key), this);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    m_keepNewest = make("duplicates.keepNewest", "keepNewestAction");
    m_keepOldest = make("duplicates.keepOldest", "keepOldestAction");
    m_keepInFolder = make("duplicates.keepInThisFolder", "keepInFolderAction");
    m_unmarkAll = make("duplicates.unmarkAll", "unmarkAllAction");
    m_toggleMarks = make("duplicates.mark", "toggleMarkAction");
    m_toggleMarks->setShortcut(Qt::Key_Space);
    m_toggleMarks->setShortcutContext(Qt::WidgetShortcut); // the list handles its own keys
    m_moveToTrash = make("duplicates.moveMarked", "moveMarkedAction");
    m_moveToTrash->setIcon(Icons::icon(QStringLiteral("trash"), ColorToken::red));
    DestructiveMenuStyle::markDestructive(m_moveToTrash);
    m_moveToTrash->setShortcut(QKeySequence::Delete);
    m_moveToTrash->setShortcutContext(Qt::WidgetWithChildrenShortcut);

    connect(m_keepNewest, &QAction::triggered, this,
            [this] { m_model.markOnly(DuplicateChoice::allButNewest(m_state.duplicateGroups())); });
    connect(m_keepOldest, &QAction::triggered, this,
            [this] { m_model.markOnly(DuplicateChoice::allButOldest(m_state.duplicateGroups())); });
    connect(m_keepInFolder, &QAction::triggered, this, &DuplicateActions::keepInCurrentFolder);
    connect(m_unmarkAll, &QAction::triggered, this, [this] { m_model.clearMarks(); });
    connect(m_toggleMarks, &QAction::triggered, this, [this] { m_model.toggleMarks(m_rows()); });
    connect(m_moveToTrash, &QAction::triggered, this, &DuplicateActions::moveMarked);

    connect(&state.duplicateSearch(), &DuplicateSearch::policyChanged, this,
            &DuplicateActions::refresh);
    connect(&model, &DuplicateGroupsModel::marksChanged, this, &DuplicateActions::refresh);
    connect(&model, &DuplicateGroupsModel::synced, this, &DuplicateActions::refresh);
    refresh();
}

void DuplicateActions::refresh()
{
    const bool anyGroup = !m_state.duplicateGroups().empty();
    const bool anyMarked = m_model.markedCount() > 0;
    m_keepNewest->setEnabled(anyGroup);
    m_keepOldest->setEnabled(anyGroup);
    const NodeRef current = m_current();
    const FileNode* folder = current ? current->parent() : nullptr;
    m_keepInFolder->setEnabled(anyGroup && folder);
    m_keepInFolder->setText(folder ? L("duplicates.keepInFolder %@", folder->name())
                                   : L("duplicates.keepInThisFolder"));
    m_unmarkAll->setEnabled(anyMarked);
    const QModelIndexList rows = m_rows();
    m_toggleMarks->setEnabled(!rows.isEmpty());
    m_toggleMarks->setText(rows.isEmpty() || m_model.wouldMark(rows) ? L("duplicates.mark")
                                                                      : L("duplicates.unmark"));
    const DuplicateSearch& search = m_state.duplicateSearch();
    m_moveToTrash->setEnabled(anyMarked && search.canMoveToTrash());
    m_moveToTrash->setToolTip(search.refusalReason());
}

void DuplicateActions::keepInCurrentFolder()
{
    const NodeRef current = m_current();
    if (const FileNode* folder = current ? current->parent() : nullptr)
        m_model.markOnly(DuplicateChoice::outside(m_state.duplicateGroups(), *folder));
}

void DuplicateActions::moveMarked()
{
    // The policy is asked again: a shortcut may fire before the enabled state caught up.
    if (m_state.duplicateSearch().canMoveToTrash())
        m_state.duplicateSearch().moveToTrash(m_model.markedFiles());
}

} // namespace plenvo
