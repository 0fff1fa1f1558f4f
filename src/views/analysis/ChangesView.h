#pragma once

#include <QWidget>

class QComboBox;
class QPushButton;
class QStackedLayout;
class QToolButton;

namespace plenvo {

class ActivitySpinner;
class AppState;
class ChangesList;
class ChangesModel;
class ChangesSummaryView;
class Clipboard;
class FileActions;
class FileManager;
class ScanFilePanel;
class StyledLabel;
class ViewHeader;

// What changed in the scanned folder since an earlier scan of it (AppState::changes()): a header
// that says since when, with the choice of the earlier scan (a kept one, or any saved scan
// chosen in the file panel); the summary, whose buttons filter the list; a bar with the folder
// shown, the way home and one level up; and the list of changes of that folder, whose entries
// of the current scan can be revealed, copied and moved to the Trash (through the result's
// editor, with undo), by the menu, the Delete key or the bar at the bottom.
//
// While the comparison is made the view says so; after a change of the result it shows the
// previous one, marked as being updated, until the new one replaces it row by row.
class ChangesView : public QWidget {
    Q_OBJECT

public:
    ChangesView(AppState& state, FileManager& fileManager, Clipboard& clipboard,
                ScanFilePanel& scanFiles, QWidget* parent = nullptr);
    ~ChangesView() override;

    ViewHeader* header() const { return m_header; }
    QComboBox* earlierChooser() const { return m_chooser; }
    ChangesSummaryView* summary() const { return m_summary; }
    ChangesList* list() const { return m_list; }
    ChangesModel* model() const { return m_model; }
    FileActions* actions() const { return m_actions; }
    QToolButton* homeButton() const { return m_home; }
    QPushButton* backButton() const { return m_back; }
    QString folderNameText() const;
    // The message shown instead of the list (no earlier scan, comparing, failed); empty while
    // the list shows.
    QString messageText() const;
    QPushButton* chooseFileButton() const { return m_chooseFile; }
    bool isUpdating() const;

    // Compares with a saved scan chosen in the file panel.
    void chooseFile();

private:
    void comparisonChanged(bool sameScans);
    void updateStatus();
    void updateEarlier();
    void updateFolderBar();
    void chooserActivated(int index);

    AppState& m_state;
    ScanFilePanel& m_scanFiles;
    ChangesModel* m_model;
    FileActions* m_actions;
    ViewHeader* m_header;
    ActivitySpinner* m_spinner;
    QComboBox* m_chooser;
    ChangesSummaryView* m_summary;
    QWidget* m_folderBar;
    QToolButton* m_home;
    StyledLabel* m_folderName;
    StyledLabel* m_folderChange;
    QPushButton* m_back;
    QStackedLayout* m_pages;
    ChangesList* m_list = nullptr;
    StyledLabel* m_empty; // over the list when it has no rows
    QWidget* m_messagePage;
    ActivitySpinner* m_messageSpinner;
    StyledLabel* m_messageTitle;
    StyledLabel* m_messageDetail;
    QPushButton* m_chooseFile;
    bool m_updatingChooser = false;
};

} // namespace plenvo
