#pragma once

#include "models/FileNode.h"

#include <QObject>

class QAction;

namespace plenvo {

// The three actions on files shared by a file list's context menu, its action bar and the
// keyboard: reveal in the file manager, copy the path, move to the Trash (Delete).
//
// They act on the selection unless a target file is set: the context menu sets its row's file
// as the target while it is open, and then all three are available whatever the selection and
// whether or not a batch is running. Without a target, reveal and move to the Trash are
// enabled as the selection allows (setSelectionEnablement) and copying a path is not offered.
// Who handles an action asks target() to know what it is about.
//
// For a result opened from a file (read-only) reveal and move to the Trash are never enabled,
// and say why in their tooltips; copying a path stays.
class FileActions : public QObject {
    Q_OBJECT

public:
    explicit FileActions(QObject* parent = nullptr);

    QAction* reveal() const { return m_reveal; }
    QAction* copyPath() const { return m_copyPath; }
    QAction* moveToTrash() const { return m_moveToTrash; }

    const NodeRef& target() const { return m_target; }
    void setTarget(NodeRef file);
    void clearTarget();

    // What the selection allows while no target is set.
    void setSelectionEnablement(bool reveal, bool moveToTrash);
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }

private:
    void updateEnablement();

    QAction* m_reveal;
    QAction* m_copyPath;
    QAction* m_moveToTrash;
    NodeRef m_target;
    bool m_revealAllowed = false;
    bool m_moveToTrashAllowed = false;
    bool m_readOnly = false;
};

} // namespace plenvo
