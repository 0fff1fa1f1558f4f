#pragma once

#include <QWidget>

class QAction;
class QToolButton;

namespace plenvo {

class AppState;
class DuplicateActions;
class DuplicateGroupsModel;
class ProminentButton;
class StyledLabel;

// The action bar under the duplicates list: the Select menu (mark every copy but the newest, but
// the oldest, but those in the current file's folder; unmark all), a hint or the number and
// size of the marked copies, reveal the chosen files, and move the marked copies to the Trash.
// Its buttons follow the actions they trigger.
class DuplicatesBar : public QWidget {
    Q_OBJECT

public:
    DuplicatesBar(AppState& state, DuplicateGroupsModel& model, DuplicateActions& actions,
                  QAction* reveal, QWidget* parent = nullptr);

    QToolButton* selectButton() const { return m_select; }
    StyledLabel* summaryLabel() const { return m_summary; }
    QToolButton* revealButton() const { return m_reveal; }
    ProminentButton* trashButton() const { return m_trash; }

private:
    void refresh();

    AppState& m_state;
    DuplicateGroupsModel& m_model;
    DuplicateActions& m_actions;
    QToolButton* m_select;
    StyledLabel* m_summary;
    QToolButton* m_reveal;
    ProminentButton* m_trash;
};

} // namespace plenvo
