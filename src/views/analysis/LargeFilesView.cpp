#include "LargeFilesView.h"

#include "AppState.h"
#include "FileActions.h"
#include "FileListModel.h"
#include "FileOperationBar.h"
#include "FileOperationList.h"
#include "FileRowDelegate.h"
#include "FileSelectionModel.h"
#include "ViewHeader.h"
#include "models/FileNode.h"
#include "theme/Divider.h"
#include "utils/Localization.h"

#include <QVBoxLayout>

namespace plenvo {

LargeFilesView::LargeFilesView(AppState& state, FileManager& fileManager, Clipboard& clipboard,
                               QWidget* parent)
    : QWidget(parent), m_state(state), m_result(state.scanResult()),
      m_model(new FileListModel(&state.editor(), this)),
      m_selection(new FileSelectionModel(m_model, this)),
      m_actions(new FileActions(state, fileManager, clipboard,
                                [this] { return m_selection->selectedFiles(); }, this))
{
    setObjectName(QStringLiteral("largeFilesView"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_header = new ViewHeader(QStringLiteral("doc.fill"), ColorToken::orange, this);
    m_header->setTitle(L("largeFiles.title"));
    m_list = new FileOperationList(state, *m_selection, *m_actions, this);
    m_list->rowDelegate()->setShowCategory(true);
    m_list->rowDelegate()->setShowModifiedDate(true);
    m_list->setAutoSelectFirst(true);
    m_bar = new FileOperationBar(state, *m_selection, *m_actions, this);

    column->addWidget(m_header);
    column->addWidget(new Divider(Qt::Horizontal, this));
    column->addWidget(m_list, 1);
    column->addWidget(new Divider(Qt::Horizontal, this));
    column->addWidget(m_bar);
    setFocusProxy(m_list);

    connect(&state, &AppState::scanResultChanged, this, &LargeFilesView::refresh);
    connect(m_model, &FileListModel::synced, this, &LargeFilesView::updateCount);
    refresh();
}

LargeFilesView::~LargeFilesView() = default;

const std::vector<NodeRef>& LargeFilesView::displayedFiles() const
{
    static const std::vector<NodeRef> none;
    return m_shown ? m_shown->topFiles() : none;
}

void LargeFilesView::refresh()
{
    // The state's result is read afresh; the view's own one stands in when there is none.
    m_shown = m_state.scanResult() ? m_state.scanResult() : m_result;
    m_model->setFiles(&displayedFiles());
    updateCount();
}

void LargeFilesView::updateCount()
{
    m_header->setSubtitle(L("largeFiles.count %lld", qint64(displayedFiles().size())));
}

} // namespace plenvo
