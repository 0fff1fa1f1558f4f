#pragma once

#include <QMainWindow>
#include <QPointer>

namespace plenvo {

class AboutView;
class AppState;
class ContentView;
class DetailViewFactory;
class FolderPanel;
class ScanResult;

// The main window: the content view, the menu bar with its commands and shortcuts, and a title
// that names the scanned folder.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(AppState& state, FolderPanel& panel, DetailViewFactory& factory,
               QWidget* parent = nullptr);

    ContentView* contentView() const { return m_content; }
    AboutView* aboutView() const;

    // "<folder> — Plenvo" for a result of that folder, else "Plenvo".
    static QString titleFor(const ScanResult* result);

public Q_SLOTS:
    void showAbout();

private:
    void buildMenus();

    AppState& m_state;
    ContentView* m_content;
    QPointer<AboutView> m_about;
};

} // namespace plenvo
