#include "MainWindow.h"

#include "AboutView.h"
#include "AppState.h"
#include "ContentView.h"
#include "HistoryKeeper.h"
#include "LocationDrop.h"
#include "QtScanFilePanel.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace plenvo {

MainWindow::MainWindow(AppState& state, FolderPanel& panel, DetailViewFactory& factory,
                       ScanFilePanel* scanFiles, QWidget* parent)
    : QMainWindow(parent), m_state(state),
      m_ownScanFiles(scanFiles ? nullptr : std::make_unique<QtScanFilePanel>()),
      m_scanFiles(scanFiles ? scanFiles : m_ownScanFiles.get())
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
    connect(&state, &AppState::scanResultChanged, this, [this] {
        setWindowTitle(titleFor(m_state.scanResult().get()));
        updateActions();
    });
    for (auto signal : {&AppState::isScanningChanged, &AppState::isExportingChanged,
                        &AppState::deleteProgressChanged})
        connect(&state, signal, this, &MainWindow::updateActions);
    connect(&state.editor(), &ResultEditor::policyChanged, this, &MainWindow::updateActions);
    updateActions();
    setAcceptDrops(true);
}

MainWindow::~MainWindow() = default;

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
    if (!result)
        return QStringLiteral("Plenvo");
    const QString name = result->isOpenedFromFile()
                             ? L("window.openedTitle %@ %@", result->rootName(),
                                 FormatUtils::formatDateFull(result->scanDate()))
                             : result->rootName();
    return name + QStringLiteral(" \u2014 Plenvo");
}

QString MainWindow::exportNameFor(const ScanResult& result)
{
    QString name = result.rootName();
    if (name == QStringLiteral("/") || name.isEmpty())
        name = QStringLiteral("scan");
    return name + QStringLiteral(".json");
}

void MainWindow::openScan()
{
    if (const std::optional<QString> file = m_scanFiles->chooseScanToOpen(this);
        file && !file->isEmpty())
        m_state.openScan(*file);
}

void MainWindow::exportScan()
{
    const std::shared_ptr<ScanResult> result = m_state.scanResult();
    if (!result)
        return;
    if (const std::optional<QString> file =
            m_scanFiles->chooseExportLocation(this, exportNameFor(*result));
        file && !file->isEmpty())
        m_state.exportScan(*file);
}

void MainWindow::updateActions()
{
    if (m_undoAction)
        m_undoAction->setEnabled(m_state.editor().canUndo());
    if (m_exportAction)
        m_exportAction->setEnabled(m_state.scanResult() && !m_state.isScanning() &&
                                   !m_state.isExporting() && !m_state.isDeleting());
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (LocationDrop::carriesOnlyFileLocations(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    if (LocationDrop::handle(m_state, event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(L("menu.file"));
    QAction* newScan = file->addAction(L("sidebar.newScan"));
    newScan->setObjectName(QStringLiteral("newScanAction"));
    newScan->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(newScan, &QAction::triggered, this, [this] { m_state.setShowDirectoryPicker(true); });
    QAction* open = file->addAction(L("menu.openScan"));
    open->setObjectName(QStringLiteral("openScanAction"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(open, &QAction::triggered, this, &MainWindow::openScan);
    m_exportAction = file->addAction(L("menu.exportScan"));
    m_exportAction->setObjectName(QStringLiteral("exportScanAction"));
    m_exportAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    connect(m_exportAction, &QAction::triggered, this, &MainWindow::exportScan);
    file->addSeparator();
    m_keepHistoryAction = file->addAction(L("history.keep"));
    m_keepHistoryAction->setObjectName(QStringLiteral("keepHistoryAction"));
    m_keepHistoryAction->setCheckable(true);
    m_keepHistoryAction->setChecked(m_state.history().isEnabled());
    connect(m_keepHistoryAction, &QAction::triggered, this, &MainWindow::setKeepHistory);
    connect(&m_state.history(), &HistoryKeeper::enabledChanged, this,
            [this] { m_keepHistoryAction->setChecked(m_state.history().isEnabled()); });
    file->addSeparator();
    QAction* quit = file->addAction(L("menu.quit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);
    // From every window of the application. The window-modal picker sheet blocks this window
    // and with it the menu bar, so the sheet carries the action too.
    quit->setShortcutContext(Qt::ApplicationShortcut);
    m_content->setSheetActions({quit});
    connect(quit, &QAction::triggered, qApp, &QApplication::closeAllWindows);

    QMenu* edit = menuBar()->addMenu(L("menu.edit"));
    m_undoAction = edit->addAction(L("menu.undoMove"));
    m_undoAction->setObjectName(QStringLiteral("undoAction"));
    m_undoAction->setShortcut(QKeySequence::Undo);
    connect(m_undoAction, &QAction::triggered, this, [this] { m_state.editor().undo(); });

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

void MainWindow::setKeepHistory(bool keep)
{
    HistoryKeeper& history = m_state.history();
    history.setEnabled(keep);
    if (keep || history.scans().empty())
        return;
    std::int64_t bytes = 0;
    for (const ScanHistory::Scan& scan : history.scans())
        bytes += scan.bytesOnDisk;
    auto* question = new QMessageBox(QMessageBox::Question, L("history.removeTitle"),
                                     L("history.removeTitle"), QMessageBox::NoButton, this);
    question->setObjectName(QStringLiteral("removeHistoryQuestion"));
    question->setInformativeText(
        L("history.removeDetail %@ %@", FormatUtils::formatCount(qint64(history.scans().size())),
          FormatUtils::formatBytes(bytes)));
    QPushButton* remove = question->addButton(L("history.remove"), QMessageBox::DestructiveRole);
    remove->setObjectName(QStringLiteral("removeHistoryButton"));
    question->setDefaultButton(question->addButton(L("history.keepThem"), QMessageBox::RejectRole));
    question->setWindowModality(Qt::WindowModal);
    question->setAttribute(Qt::WA_DeleteOnClose);
    connect(question, &QMessageBox::buttonClicked, this, [this, remove](QAbstractButton* button) {
        if (button == remove)
            m_state.history().removeAll();
    });
    question->open();
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
