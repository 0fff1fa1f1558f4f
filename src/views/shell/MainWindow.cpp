#include "MainWindow.h"

#include "AboutView.h"
#include "AppState.h"
#include "ContentView.h"
#include "utils/Localization.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QScreen>

namespace plenvo {

MainWindow::MainWindow(AppState& state, FolderPanel& panel, DetailViewFactory& factory,
                       QWidget* parent)
    : QMainWindow(parent), m_state(state)
{
    setObjectName(QStringLiteral("mainWindow"));
    m_content = new ContentView(state, panel, factory, this);
    setCentralWidget(m_content);
    // On a small screen, or at a large scale, the window still opens whole on the screen.
    const QRect available = screen() ? screen()->availableGeometry() : QRect();
    setMinimumSize(sizeWithin(kMinimumSize, available));
    resize(sizeWithin(kIdealSize, available));
    buildMenus();
    setWindowTitle(titleFor(state.scanResult().get()));
    connect(&state, &AppState::scanResultChanged, this,
            [this] { setWindowTitle(titleFor(m_state.scanResult().get())); });
}

AboutView* MainWindow::aboutView() const
{
    return m_about;
}

QSize MainWindow::sizeWithin(QSize wanted, const QRect& available)
{
    if (available.isEmpty())
        return wanted;
    const QSize room = available.size() - QSize(kScreenMargin, kScreenMargin);
    return wanted.boundedTo(room.expandedTo(QSize(1, 1)));
}

QString MainWindow::titleFor(const ScanResult* result)
{
    if (result)
        return result->rootName() + QStringLiteral(" \u2014 Plenvo");
    return QStringLiteral("Plenvo");
}

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(L("menu.file"));
    QAction* newScan = file->addAction(L("sidebar.newScan"));
    newScan->setObjectName(QStringLiteral("newScanAction"));
    newScan->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(newScan, &QAction::triggered, this, [this] { m_state.setShowDirectoryPicker(true); });
    file->addSeparator();
    QAction* quit = file->addAction(L("menu.quit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);
    // From every window of the application. The window-modal picker sheet blocks this window
    // and with it the menu bar, so the sheet carries the action too.
    quit->setShortcutContext(Qt::ApplicationShortcut);
    m_content->setSheetActions({quit});
    connect(quit, &QAction::triggered, qApp, &QApplication::closeAllWindows);

    QMenu* view = menuBar()->addMenu(L("menu.view"));
    QAction* inspector = view->addAction(L("toolbar.showInspector"));
    inspector->setObjectName(QStringLiteral("toggleInspectorAction"));
    inspector->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    connect(inspector, &QAction::triggered, m_content, &ContentView::toggleInspector);
    view->addSeparator();
    // Ctrl+1, Ctrl+2, ... in the order of the sidebar.
    int digit = 1;
    for (const SidebarItem item : SidebarItem::viewItems()) {
        QAction* action = view->addAction(item.localizedName());
        action->setObjectName(item.id() + QStringLiteral("Action"));
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + digit++)));
        connect(action, &QAction::triggered, this,
                [this, item] { m_state.setNavigationSelection(item); });
    }

    QMenu* help = menuBar()->addMenu(L("menu.help"));
    QAction* about = help->addAction(L("app.about"));
    about->setObjectName(QStringLiteral("aboutAction"));
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::showAbout()
{
    if (!m_about)
        m_about = new AboutView(this);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

} // namespace plenvo
