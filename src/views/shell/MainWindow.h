#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QSize>

#include <memory>

class QAction;

namespace plenvo {

class AboutView;
class AppState;
class ContentView;
class DetailViewFactory;
class FolderPanel;
class ScanFilePanel;
class ScanResult;

// The main window: the content view, the menu bar with its commands and shortcuts, and a title
// that names the scanned folder. A folder dropped on it is scanned, a saved scan opened.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // The size the window opens at where the screen has room, and the least it can be made.
    static constexpr QSize kIdealSize{1200, 800};
    static constexpr QSize kMinimumSize{900, 600};
    // Room left free around a window that a screen's free area bounds.
    static constexpr int kScreenMargin = 40;

    // `scanFiles` answers Open Scan and Export Scan; by default the system's file panels.
    MainWindow(AppState& state, FolderPanel& panel, DetailViewFactory& factory,
               ScanFilePanel* scanFiles = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    ContentView* contentView() const { return m_content; }
    AboutView* aboutView() const;

    // `wanted`, made smaller where needed to fit `available` (a screen's free area, less the
    // margin), so that the whole window, its title bar and its edges can be reached.
    static QSize sizeWithin(QSize wanted, const QRect& available);

    // "<folder> — Plenvo" for a result of that folder, else "Plenvo"; for a result opened from
    // a file, with the date of the scan and that it came from a file.
    static QString titleFor(const ScanResult* result);
    // The file name proposed for an export of `result`.
    static QString exportNameFor(const ScanResult& result);

public Q_SLOTS:
    void showAbout();
    // File > Open Scan: a saved scan chosen in the file panel is opened.
    void openScan();
    // File > Export Scan: the current result is written where the file panel says.
    void exportScan();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void updateActions();
    // The history switch: turning it off offers to remove what was kept.
    void setKeepHistory(bool keep);

    AppState& m_state;
    std::unique_ptr<ScanFilePanel> m_ownScanFiles; // when none was given
    ScanFilePanel* m_scanFiles;
    ContentView* m_content;
    QAction* m_exportAction = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_keepHistoryAction = nullptr;
    QPointer<AboutView> m_about;
};

} // namespace plenvo
