#pragma once

#include <QWidget>

class QToolButton;

namespace plenvo {

class AppState;
class FileActions;
class FileSelectionModel;
class ProminentButton;
class StyledLabel;

// The action bar under a file list: select all, deselect all, a hint or the number and size of
// the selected files, reveal them in the file manager, and move them to the Trash. It works on
// the same selection as the list (shared by their owner) through the view's actions, whose
// enabled state its buttons follow. For a result opened from a file, reveal and the Trash are
// off and a short note says why (the whole reason in its tooltip).
class FileOperationBar : public QWidget {
    Q_OBJECT

public:
    FileOperationBar(AppState& state, FileSelectionModel& selection, FileActions& actions,
                     QWidget* parent = nullptr);

    QToolButton* selectAllButton() const { return m_selectAll; }
    QToolButton* deselectAllButton() const { return m_deselectAll; }
    StyledLabel* summaryLabel() const { return m_summary; }
    QToolButton* revealButton() const { return m_reveal; }
    ProminentButton* trashButton() const { return m_trash; }
    StyledLabel* readOnlyNote() const { return m_readOnlyNote; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void followTrashAction();
    void applyColors();

    AppState& m_state;
    FileSelectionModel& m_selection;
    FileActions& m_actions;
    QToolButton* m_selectAll;
    QToolButton* m_deselectAll;
    StyledLabel* m_summary;
    QToolButton* m_reveal;
    ProminentButton* m_trash;
    StyledLabel* m_readOnlyNote;
    bool m_applying = false;
};

} // namespace plenvo
