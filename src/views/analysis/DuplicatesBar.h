#pragma once

#include <QWidget>

class QPushButton;

namespace plenvo {

class AppState;
class DuplicateActions;
class DuplicateGroupsModel;
class ProminentButton;
class StyledLabel;

// The action bar under the duplicates list: the Select menu (mark every copy but the newest, but
// the oldest, but those in the current file's folder; unmark all), a hint or the number and
// size of the marked copies, and move the marked copies to the Trash. Its buttons follow the
// actions they trigger. (Showing a file in its folder is the menu's and the inspector's.)
class DuplicatesBar : public QWidget {
    Q_OBJECT

public:
    DuplicatesBar(AppState& state, DuplicateGroupsModel& model, DuplicateActions& actions,
                  QWidget* parent = nullptr);

    QPushButton* selectButton() const { return m_select; }
    StyledLabel* summaryLabel() const { return m_summary; }
    ProminentButton* trashButton() const { return m_trash; }

private:
    void refresh();

    AppState& m_state;
    DuplicateGroupsModel& m_model;
    DuplicateActions& m_actions;
    QPushButton* m_select;
    StyledLabel* m_summary;
    ProminentButton* m_trash;
};

} // namespace plenvo
