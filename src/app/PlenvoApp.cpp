#include "PlenvoApp.h"

#include "AppState.h"
#include "shell/DestinationPlaceholderView.h"
#include "shell/MainWindow.h"
#include "shell/QtFolderPanel.h"

namespace plenvo {

PlenvoApp::PlenvoApp(QObject* parent)
    : QObject(parent), m_state(std::make_unique<AppState>()),
      m_panel(std::make_unique<QtFolderPanel>()),
      m_factory(std::make_unique<PlaceholderViewFactory>()),
      m_window(std::make_unique<MainWindow>(*m_state, *m_panel, *m_factory))
{
}

// The window goes first: it refers to everything else.
PlenvoApp::~PlenvoApp()
{
    m_window.reset();
}

} // namespace plenvo
