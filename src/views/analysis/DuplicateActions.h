#pragma once

#include "models/FileNode.h"

#include <QModelIndexList>
#include <QObject>

#include <functional>

class QAction;

namespace plenvo {

class AppState;
class DuplicateGroupsModel;

// The Duplicates view's actions on its marks, shared by its context menu, its keys and its
// action bar: mark every copy but the newest, but the oldest, or but those in the folder of
// the current file; unmark all; mark or unmark the rows chosen (Space); and move the marked
// copies to the Trash (Delete), which goes through the duplicate search, so that one copy of
// every group stays. Moving is enabled as the search allows (DuplicateSearch::canMoveToTrash(),
// followed live) and says why not in its tooltip.
class DuplicateActions : public QObject {
    Q_OBJECT

public:
    using Rows = std::function<QModelIndexList()>;
    using Current = std::function<NodeRef()>;

    // `rows` gives the rows Space marks (the view's selected rows); `current` the file whose
    // folder "keep the copies in this folder" means.
    DuplicateActions(AppState& state, DuplicateGroupsModel& model, Rows rows, Current current,
                     QObject* parent = nullptr);

    QAction* keepNewest() const { return m_keepNewest; }
    QAction* keepOldest() const { return m_keepOldest; }
    QAction* keepInFolder() const { return m_keepInFolder; }
    QAction* unmarkAll() const { return m_unmarkAll; }
    QAction* toggleMarks() const { return m_toggleMarks; }
    QAction* moveToTrash() const { return m_moveToTrash; }

    // Call when the marks, the rows chosen or the current file change.
    void refresh();

private:
    void moveMarked();
    void keepInCurrentFolder();

    AppState& m_state;
    DuplicateGroupsModel& m_model;
    Rows m_rows;
    Current m_current;
    QAction* m_keepNewest;
    QAction* m_keepOldest;
    QAction* m_keepInFolder;
    QAction* m_unmarkAll;
    QAction* m_toggleMarks;
    QAction* m_moveToTrash;
};

} // namespace plenvo
