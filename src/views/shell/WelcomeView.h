#pragma once

#include <QWidget>

class QListView;
class QMimeData;
class QPushButton;

namespace plenvo {

class AppState;
class FolderPanel;
class StyledLabel;
class SymbolView;

// The detail area before the first scan: the application's name and three ways to start a
// scan: choosing a folder in the folder panel, scanning the home folder, or dropping a folder
// (or a saved scan, which is opened) onto the view. Below them, the latest scans kept in the
// history (when there are any): choosing one opens it at once, as a saved scan (read-only).
class WelcomeView : public QWidget {
    Q_OBJECT

public:
    WelcomeView(AppState& state, FolderPanel& panel, QWidget* parent = nullptr);

    // A drop of `mimeData`, as LocationDrop::handle() takes it: a folder is scanned, a saved scan
    // opened. Returns whether the drop was handled.
    bool handleDrop(const QMimeData* mimeData);

    QPushButton* selectFolderButton() const { return m_selectFolder; }
    QPushButton* scanHomeButton() const { return m_scanHome; }
    QListView* recentScans() const { return m_recent; }
    // Opens the recent scan of `row`.
    void openRecent(int row);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void selectFolder();
    void scanHome();
    void styleSelectFolderButton();
    void updateRecent();

    AppState& m_state;
    FolderPanel& m_panel;
    SymbolView* m_icon;
    StyledLabel* m_title;
    StyledLabel* m_tagline;
    QPushButton* m_selectFolder;
    QPushButton* m_scanHome;
    StyledLabel* m_dragHint;
    StyledLabel* m_recentTitle;
    QListView* m_recent;
};

} // namespace plenvo
