#include "FileActions.h"

#include "theme/Icons.h"
#include "utils/Localization.h"

#include <QAction>

namespace plenvo {

FileActions::FileActions(QObject* parent) : QObject(parent)
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
    m_moveToTrash->setShortcut(QKeySequence::Delete);
    // Active while the list (to which the owner adds it) has the focus.
    m_moveToTrash->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    updateEnablement();
}

void FileActions::setTarget(NodeRef file)
{
    m_target = std::move(file);
    updateEnablement();
}

void FileActions::clearTarget()
{
    setTarget({});
}

void FileActions::setSelectionEnablement(bool reveal, bool moveToTrash)
{
    m_revealAllowed = reveal;
    m_moveToTrashAllowed = moveToTrash;
    updateEnablement();
}

void FileActions::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    // QAction's tooltip falls back to its text when empty.
    const QString note = readOnly ? L("readOnly.detail") : QString();
    m_reveal->setToolTip(note);
    m_moveToTrash->setToolTip(note);
    updateEnablement();
}

void FileActions::updateEnablement()
{
    const bool targeted = bool(m_target);
    m_reveal->setEnabled(!m_readOnly && (targeted || m_revealAllowed));
    m_copyPath->setEnabled(targeted);
    m_moveToTrash->setEnabled(!m_readOnly && (targeted || m_moveToTrashAllowed));
}

} // namespace plenvo
