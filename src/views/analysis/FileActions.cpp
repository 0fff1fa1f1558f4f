#include "FileActions.h"

#include "AppState.h"
#include "platform/Clipboard.h"
#include "platform/FileManager.h"
#include "theme/DestructiveMenuStyle.h"
#include "theme/Icons.h"
#include "utils/Localization.h"

#include <QAbstractItemView>
#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>

namespace plenvo {

namespace {

std::vector<std::string> pathsOf(const std::vector<NodeRef>& nodes)
{
    std::vector<std::string> paths;
    paths.reserve(nodes.size());
    for (const NodeRef& node : nodes)
        paths.push_back(node->pathBytes());
    return paths;
}

} // namespace

FileActions::FileActions(AppState& state, FileManager& fileManager, Clipboard& clipboard,
                         Selection selection, QObject* parent)
    : QObject(parent), m_state(state), m_fileManager(fileManager), m_clipboard(clipboard),
      m_selection(std::move(selection))
{
    m_reveal = new QAction(Icons::icon(QStringLiteral("arrow.right.circle"), ColorToken::secondary),
                           L("action.showInFinder"), this);
    m_reveal->setObjectName(QStringLiteral("revealAction"));
    m_copyPath = new QAction(Icons::icon(QStringLiteral("doc.on.clipboard"), ColorToken::secondary),
                             L("action.copyPath"), this);
    m_copyPath->setObjectName(QStringLiteral("copyPathAction"));
    m_moveToTrash = new QAction(Icons::icon(QStringLiteral("trash"), ColorToken::red),
                                L("action.moveToTrash"), this);
    m_moveToTrash->setObjectName(QStringLiteral("moveToTrashAction"));
    DestructiveMenuStyle::markDestructive(m_moveToTrash);
    m_moveToTrash->setShortcut(QKeySequence::Delete);
    // Active while the widget the owner adds it to has the focus.
    m_moveToTrash->setShortcutContext(Qt::WidgetWithChildrenShortcut);

    connect(m_reveal, &QAction::triggered, this, &FileActions::revealSelection);
    connect(m_copyPath, &QAction::triggered, this, &FileActions::copySelection);
    connect(m_moveToTrash, &QAction::triggered, this, &FileActions::moveSelectionToTrash);
    connect(&state.editor(), &ResultEditor::policyChanged, this, &FileActions::refresh);
    refresh();
}

bool FileActions::explainsRefusal() const
{
    return !m_moveToTrash->toolTip().isEmpty() && !m_moveToTrash->isEnabled();
}

void FileActions::refresh()
{
    const bool any = !m_selection().empty();
    const bool readOnly = m_state.isReadOnly();
    const ResultEditor& editor = m_state.editor();
    m_reveal->setEnabled(any && !readOnly);
    // QAction's tooltip falls back to its text when empty.
    m_reveal->setToolTip(readOnly ? L("readOnly.detail") : QString());
    m_copyPath->setEnabled(any);
    m_moveToTrash->setEnabled(any && editor.canMoveToTrash());
    m_moveToTrash->setToolTip(editor.refusalReason());
}

std::unique_ptr<QMenu> FileActions::createMenu(QWidget* parent)
{
    refresh();
    auto menu = std::make_unique<QMenu>(parent);
    menu->setToolTipsVisible(true); // why an action is off
    DestructiveMenuStyle::install(menu.get());
    menu->addAction(m_reveal);
    menu->addAction(m_copyPath);
    menu->addSeparator();
    menu->addAction(m_moveToTrash);
    return menu;
}


void FileActions::revealSelection()
{
    if (m_reveal->isEnabled())
        if (const std::vector<std::string> paths = pathsOf(m_selection()); !paths.empty())
            m_fileManager.revealItems(paths);
}

void FileActions::copySelection()
{
    if (const std::vector<std::string> paths = pathsOf(m_selection()); !paths.empty())
        m_clipboard.copyPaths(paths);
}

void FileActions::moveSelectionToTrash()
{
    // The policy is asked again: a shortcut may fire before the enabled state caught up.
    if (m_state.editor().canMoveToTrash())
        m_state.editor().moveToTrash(m_selection());
}

} // namespace plenvo
