#include "DuplicatesView.h"

#include "AppState.h"
#include "DuplicateActions.h"
#include "DuplicateGroupsModel.h"
#include "DuplicateSearchPanel.h"
#include "DuplicatesBar.h"
#include "DuplicatesTreeView.h"
#include "FileActions.h"
#include "ViewHeader.h"
#include "theme/DestructiveMenuStyle.h"
#include "theme/Divider.h"
#include "theme/TextStyles.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace plenvo {

DuplicatesView::DuplicatesView(AppState& state, FileManager& fileManager, Clipboard& clipboard,
                               QWidget* parent)
    : QWidget(parent), m_state(state), m_model(new DuplicateGroupsModel(state, this))
{
    setObjectName(QStringLiteral("duplicatesView"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    m_actions = new DuplicateActions(
        state, *m_model, [this] { return m_list ? m_list->chosenRows() : QModelIndexList(); },
        [this] { return currentFile(); }, this);
    // Reveal and copy act on the chosen rows; the Trash on the marked copies (m_actions).
    m_fileActions = new FileActions(state, fileManager, clipboard,
                                    [this] { return chosenFiles(); }, this);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_header = new ViewHeader(QStringLiteral("doc.on.doc.fill"), ColorToken::indigo, this);
    m_header->setTitle(L("sidebar.duplicates"));
    m_searchAgain = new QToolButton(m_header);
    m_searchAgain->setObjectName(QStringLiteral("searchAgainButton"));
    m_searchAgain->setText(L("duplicates.searchAgain"));
    m_searchAgain->setFont(TextStyles::font(TextStyle::caption));
    m_header->addTrailingWidget(m_searchAgain);
    column->addWidget(m_header);
    column->addWidget(new Divider(Qt::Horizontal, this));

    m_pages = new QStackedWidget(this);
    m_panel = new DuplicateSearchPanel(m_pages);
    m_pages->addWidget(m_panel);
    m_groupsPage = new QWidget(m_pages);
    auto* groups = new QVBoxLayout(m_groupsPage);
    groups->setContentsMargins(0, 0, 0, 0);
    groups->setSpacing(0);
    m_list = new DuplicatesTreeView(*m_model, *m_actions, m_groupsPage);
    m_bar = new DuplicatesBar(state, *m_model, *m_actions, m_groupsPage);
    groups->addWidget(m_list, 1);
    groups->addWidget(new Divider(Qt::Horizontal, m_groupsPage));
    groups->addWidget(m_bar);
    m_pages->addWidget(m_groupsPage);
    column->addWidget(m_pages, 1);
    setFocusProxy(m_list);

    DuplicateSearch& search = state.duplicateSearch();
    connect(m_panel, &DuplicateSearchPanel::searchRequested, &search, &DuplicateSearch::start);
    connect(m_panel, &DuplicateSearchPanel::stopRequested, &search, &DuplicateSearch::stop);
    connect(m_searchAgain, &QToolButton::clicked, &search, &DuplicateSearch::start);
    connect(&search, &DuplicateSearch::policyChanged, this, &DuplicatesView::refresh);
    connect(&state, &AppState::duplicateSearchChanged, this, &DuplicatesView::refresh);
    connect(m_model, &DuplicateGroupsModel::synced, this, [this] {
        refresh();
        followSelectedNode();
    });
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &DuplicatesView::currentChanged);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_model->isSyncing())
            return; // rows pass through states nobody chose
        m_fileActions->refresh();
        m_actions->refresh();
    });
    connect(&state, &AppState::selectedNodeChanged, this, &DuplicatesView::followSelectedNode);
    connect(m_list, &DuplicatesTreeView::menuRequested, this, [this](const QPoint& at) {
        if (const std::unique_ptr<QMenu> menu = createContextMenu())
            menu->exec(at);
    });
    refresh();
    // What another view had chosen shows here only when it is one of the copies.
    if (m_model->indexOf(state.selectedNode().get()).isValid()) {
        followSelectedNode();
    } else {
        state.setSelectedNode({});
        state.setInspectorCandidateNodes({});
    }
}

DuplicatesView::~DuplicatesView() = default;

bool DuplicatesView::showsGroups() const
{
    return m_pages->currentWidget() == m_groupsPage;
}

void DuplicatesView::refresh()
{
    using Mode = DuplicateSearchPanel::Mode;
    const DuplicateSearch& search = m_state.duplicateSearch();
    const bool anyGroup = !m_state.duplicateGroups().empty();
    if (anyGroup) {
        m_pages->setCurrentWidget(m_groupsPage);
    } else {
        Mode mode = Mode::invite;
        if (m_state.isDuplicateScanning())
            mode = Mode::searching;
        else if (m_state.isReadOnly())
            mode = Mode::readOnly;
        else if (m_state.duplicateProgress().kind() == DuplicateFinder::Progress::Kind::completed)
            mode = Mode::noneFound;
        m_panel->setMode(mode, m_state.duplicateProgress(), search.unreadableFiles());
        m_panel->searchButton()->setEnabled(search.canSearch());
        m_pages->setCurrentWidget(m_panel);
    }
    m_searchAgain->setVisible(anyGroup);
    m_searchAgain->setEnabled(search.canSearch());
    updateHeader();
}

void DuplicatesView::updateHeader()
{
    const auto& groups = m_state.duplicateGroups();
    if (groups.empty()) {
        m_header->setSubtitle(L("duplicates.subtitle"));
        return;
    }
    std::int64_t wasted = 0;
    for (const auto& group : groups)
        wasted += std::int64_t(group.files.size() - 1) * group.fileSize;
    m_header->setSubtitle(L("duplicates.summary %@ %@",
                            FormatUtils::formatCount(std::int64_t(groups.size())),
                            FormatUtils::formatBytes(wasted)));
}

NodeRef DuplicatesView::currentFile() const
{
    return m_list ? m_model->fileAt(m_list->currentIndex()) : NodeRef();
}

std::vector<NodeRef> DuplicatesView::chosenFiles() const
{
    std::vector<NodeRef> files;
    if (!m_list)
        return files;
    for (const QModelIndex& row : m_list->chosenRows())
        if (NodeRef file = m_model->fileAt(row))
            files.push_back(std::move(file));
    return files;
}

void DuplicatesView::currentChanged()
{
    if (m_model->isSyncing())
        return;
    const QModelIndex current = m_list->currentIndex();
    // The inspector shows the current file; after a move, the editor picks the next one among
    // the copies of its group.
    if (const std::vector<NodeRef>* files = m_model->groupFiles(current))
        m_state.setInspectorCandidateNodes(*files);
    m_state.setSelectedNode(m_model->fileAt(current));
    m_actions->refresh();
}

void DuplicatesView::followSelectedNode()
{
    const NodeRef& selected = m_state.selectedNode();
    if (!selected || m_model->isSyncing() || currentFile() == selected)
        return;
    const QModelIndex index = m_model->indexOf(selected.get());
    if (!index.isValid())
        return;
    m_list->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_list->scrollTo(index);
}

std::unique_ptr<QMenu> DuplicatesView::createContextMenu()
{
    m_actions->refresh();
    m_fileActions->refresh();
    auto menu = std::make_unique<QMenu>(this);
    menu->setToolTipsVisible(true); // why an action is off
    DestructiveMenuStyle::install(menu.get());
    menu->addAction(m_actions->toggleMarks());
    menu->addAction(m_actions->keepInFolder());
    menu->addSeparator();
    menu->addAction(m_fileActions->reveal());
    menu->addAction(m_fileActions->copyPath());
    menu->addSeparator();
    menu->addAction(m_actions->moveToTrash());
    return menu;
}

} // namespace plenvo
