#pragma once

#include <QObject>

#include <memory>

namespace plenvo {

class AppState;
class Clipboard;
class ColorSchemeFollower;
class ColorSchemeSource;
class DetailViewFactory;
class FileManager;
class FolderPanel;
class MainWindow;

// The application: its one shared state, the desktop facilities (folder panel, file manager,
// clipboard, the colour scheme the desktop prefers), the views of a result and the main window.
// Lives as long as the process.
class PlenvoApp : public QObject {
    Q_OBJECT

public:
    explicit PlenvoApp(QObject* parent = nullptr);
    ~PlenvoApp() override;

    AppState& state() const { return *m_state; }
    MainWindow& mainWindow() const { return *m_window; }

private:
    std::unique_ptr<ColorSchemeSource> m_colorScheme;
    std::unique_ptr<ColorSchemeFollower> m_colorSchemeFollower;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<FolderPanel> m_panel;
    std::unique_ptr<FileManager> m_fileManager;
    std::unique_ptr<Clipboard> m_clipboard;
    std::unique_ptr<DetailViewFactory> m_factory;
    std::unique_ptr<MainWindow> m_window;
};

} // namespace plenvo
