#pragma once

#include "models/FileNode.h"

#include <QWidget>

#include <memory>

class QMenu;
class QStackedWidget;
class QToolButton;

namespace plenvo {

class AppState;
class Clipboard;
class DuplicateActions;
class DuplicateGroupsModel;
class DuplicateSearchPanel;
class DuplicatesBar;
class DuplicatesTreeView;
class FileActions;
class FileManager;
class ViewHeader;

// Files with the same content in the scan, to reclaim the space their extra copies take: a
// header with the number of groups and the space to be freed; the groups, the most wasted space
// first, each with its files (name, folder, date), whose copies are marked to go to the Trash
// by hand or with the Select helpers; and the action bar. Before the first search, during one
// (with Stop) and when none was found, the search panel shows instead; for a scan opened from
// a file it is off, with the read-only note.
//
// The current file shows in the inspector. The rows follow the result's edits; a move of the
// marked copies goes through the duplicate search, which keeps one copy of every group.
class DuplicatesView : public QWidget {
    Q_OBJECT

public:
    DuplicatesView(AppState& state, FileManager& fileManager, Clipboard& clipboard,
                   QWidget* parent = nullptr);
    ~DuplicatesView() override;

    ViewHeader* header() const { return m_header; }
    DuplicateSearchPanel* panel() const { return m_panel; }
    DuplicatesTreeView* list() const { return m_list; }
    DuplicatesBar* bar() const { return m_bar; }
    DuplicateGroupsModel* model() const { return m_model; }
    DuplicateActions* actions() const { return m_actions; }
    FileActions* fileActions() const { return m_fileActions; }
    QToolButton* searchAgainButton() const { return m_searchAgain; }
    // Whether the list of groups shows (else the search panel does).
    bool showsGroups() const;

    // The menu for the chosen rows.
    std::unique_ptr<QMenu> createContextMenu();

private:
    void refresh();
    void updateHeader();
    void currentChanged();
    void followSelectedNode();
    std::vector<NodeRef> chosenFiles() const;
    NodeRef currentFile() const;

    AppState& m_state;
    DuplicateGroupsModel* m_model;
    DuplicatesTreeView* m_list = nullptr;
    DuplicateActions* m_actions = nullptr;
    FileActions* m_fileActions = nullptr;
    ViewHeader* m_header = nullptr;
    QToolButton* m_searchAgain = nullptr;
    QStackedWidget* m_pages = nullptr;
    DuplicateSearchPanel* m_panel = nullptr;
    QWidget* m_groupsPage = nullptr;
    DuplicatesBar* m_bar = nullptr;
};

} // namespace plenvo
