#pragma once

#include <QWidget>

#include <initializer_list>

class QHBoxLayout;
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
// off and a short note says why (the whole reason in its tooltip). The buttons keep their size:
// where they do not fit in one row with the summary, the actions take a second row.
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
    // Whether the actions share the row of the selection buttons and the summary.
    bool isOneRow() const { return m_oneRow; }

    QSize minimumSizeHint() const override;

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void refresh();
    void followTrashAction();
    void applyColors();
    void arrange(bool oneRow);
    // The width the bar needs to show everything in one row.
    int oneRowWidth() const;
    // The widths of the shown ones among `widgets`, with the spacing between them.
    int widthOf(std::initializer_list<QWidget*> widgets) const;

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
    QHBoxLayout* m_first;
    QHBoxLayout* m_second;
    bool m_oneRow = true;
    bool m_arranged = false;
};

} // namespace plenvo
