#include "PlenvoApp.h"

#include "AppState.h"
#include "analysis/AnalysisViewFactory.h"
#include "platform/FreedesktopFileManager.h"
#include "platform/PortalColorScheme.h"
#include "platform/SystemClipboard.h"
#include "shell/MainWindow.h"
#include "shell/QtFolderPanel.h"
#include "theme/ColorSchemeFollower.h"

#include <QGuiApplication>
#include <QPointer>

namespace plenvo {

PlenvoApp::PlenvoApp(QObject* parent)
    : QObject(parent), m_colorScheme(std::make_unique<PortalColorScheme>()),
      m_colorSchemeFollower(std::make_unique<ColorSchemeFollower>(*m_colorScheme)),
      m_state(std::make_unique<AppState>()), m_panel(std::make_unique<QtFolderPanel>()),
      m_fileManager(std::make_unique<FreedesktopFileManager>(
          FreedesktopFileManager::FolderOpener(), QString(),
          [state = QPointer<AppState>(m_state.get())](const QString& message) {
              if (state)
                  state->showToast(message, AppState::ToastKind::warning);
          })),
      m_clipboard(std::make_unique<SystemClipboard>()),
      m_factory(std::make_unique<AnalysisViewFactory>(*m_fileManager, *m_clipboard)),
      m_window(std::make_unique<MainWindow>(*m_state, *m_panel, *m_factory))
{
    // Coming back to the application, the user may have deleted files elsewhere meanwhile.
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState applicationState) {
                if (applicationState == Qt::ApplicationActive)
                    m_state->checkExternalDeletions();
            });
}

// The window goes first: it refers to everything else.
PlenvoApp::~PlenvoApp()
{
    m_window.reset();
}

} // namespace plenvo
