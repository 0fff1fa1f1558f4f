#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QSize>

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
    // The size the window opens at where the screen has room, and the least it can be made.
    static constexpr QSize kIdealSize{1200, 800};
    static constexpr QSize kMinimumSize{900, 600};
    // Room left free around a window that a screen's free area bounds.
    static constexpr int kScreenMargin = 40;

    MainWindow(AppState& state, FolderPanel& panel, DetailViewFactory& factory,
               QWidget* parent = nullptr);

    ContentView* contentView() const { return m_content; }
    AboutView* aboutView() const;

    // `wanted`, made smaller where needed to fit `available` (a screen's free area, less the
    // margin), so that the whole window, its title bar and its edges can be reached.
    static QSize sizeWithin(QSize wanted, const QRect& available);

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
