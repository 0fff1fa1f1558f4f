#include "TreeMapView.h"

#include "AppState.h"
#include "FileActions.h"
#include "TreemapCanvas.h"
#include "platform/FileManager.h"
#include "theme/Icons.h"
#include "theme/StyledLabel.h"
#include "theme/SymbolView.h"
#include "theme/ToolbarSurface.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace plenvo {

namespace {

// Whether `node` still hangs in the tree under `root`.
bool isInTree(const FileNode* node, const FileNode& root)
{
    while (node && node->id() != root.id())
        node = node->parent();
    return node != nullptr;
}

} // namespace

TreeMapView::TreeMapView(AppState& state, FileManager& fileManager, Clipboard& clipboard,
                         QWidget* parent)
    : QWidget(parent), m_state(state), m_fileManager(fileManager),
      m_actions(new FileActions(
          state, fileManager, clipboard,
          [this] { return m_menuTarget ? std::vector<NodeRef>{m_menuTarget} : std::vector<NodeRef>{}; },
          this))
{
    setObjectName(QStringLiteral("treeMapView"));
    if (state.scanResult())
        m_root = state.scanResult()->rootNode();
    m_current = m_root;

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* header = new ToolbarSurface(this);
    header->setObjectName(QStringLiteral("treemapHeader"));
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(16, 10, 16, 10);
    row->setSpacing(4);
    const int symbolExtent = Icons::extentFor(TextStyles::font(TextStyle::caption2));

    m_home = new QToolButton(header);
    m_home->setObjectName(QStringLiteral("treemapHome"));
    // Borderless: only the symbol, at the bar's padding.
    m_home->setStyleSheet(
        QStringLiteral("QToolButton { border: none; padding: 0; background: transparent; }"));
    m_home->setIcon(Icons::icon(QStringLiteral("house.fill"), ColorToken::secondary));
    m_home->setIconSize(QSize(symbolExtent, symbolExtent));
    m_home->setAccessibleName(m_root ? m_root->name() : QString());
    connect(m_home, &QToolButton::clicked, this, &TreeMapView::goHome);
    row->addWidget(m_home);
    row->addWidget(new SymbolView(QStringLiteral("chevron.right"), symbolExtent,
                                  ColorToken::quaternary, header));

    m_name = new StyledLabel(TextStyle::callout, {.weight = QFont::Medium}, std::nullopt, header);
    m_name->setElideMode(Qt::ElideRight);
    row->addWidget(m_name);
    row->addStretch(1);
    m_size = new StyledLabel(TextStyle::callout, {.monospacedDigits = true}, ColorToken::secondary,
                             header);
    row->addWidget(m_size);

    m_back = new QPushButton(L("treemap.goBack"), header);
    m_back->setObjectName(QStringLiteral("treemapGoBack"));
    m_back->setFont(TextStyles::systemFont(11));
    connect(m_back, &QPushButton::clicked, this, &TreeMapView::goBack);
    row->addWidget(m_back);
    // The bar keeps its height whether the button is shown or not.
    row->addStrut(m_back->sizeHint().height());
    column->addWidget(header);

    m_canvas = new TreemapCanvas(this);
    column->addWidget(m_canvas, 1);
    connect(m_canvas, &TreemapCanvas::folderClicked, this,
            [this](const NodeRef& folder) { setCurrentNode(folder); });
    connect(m_canvas, &TreemapCanvas::fileClicked, this, [this](const NodeRef& file) {
        if (m_state.isReadOnly())
            m_state.showToast(L("readOnly.detail"), // what a click would have done is off
                              AppState::ToastKind::warning);
        else
            m_fileManager.revealItems({file->pathBytes()});
    });
    connect(m_canvas, &TreemapCanvas::menuRequested, this,
            [this](const NodeRef& node, const QPoint& position) {
                if (const std::unique_ptr<QMenu> menu = createTileMenu(node))
                    menu->exec(position);
                m_menuTarget = NodeRef();
                m_actions->refresh();
            });
    connect(m_canvas, &TreemapCanvas::upRequested, this, &TreeMapView::goBack);
    connect(&state, &AppState::contentRevisionChanged, this, &TreeMapView::contentChanged);
    connect(&state.editor(), &ResultEditor::aboutToRemove, this, &TreeMapView::aboutToRemove);
    setFocusProxy(m_canvas);

    navigate(m_current, false);
}

void TreeMapView::setCurrentNode(NodeRef folder)
{
    if (folder && folder->isDirectory())
        navigate(std::move(folder), true);
}

void TreeMapView::goHome()
{
    navigate(m_root, false);
}

void TreeMapView::goBack()
{
    if (!m_current || !m_current->parent())
        return;
    const NodeId left = m_current->id();
    navigate(NodeRef(m_current->parent()), true);
    // The keyboard comes back to the folder it left.
    if (m_canvas->hasFocus())
        m_canvas->setFocusedNode(left);
}

QString TreeMapView::folderNameText() const
{
    return m_name->fullText();
}

QString TreeMapView::sizeText() const
{
    return m_size->fullText();
}

void TreeMapView::navigate(NodeRef folder, bool animated)
{
    m_current = std::move(folder);
    m_canvas->setFolder(m_current, animated);
    updateHeader();
}

std::unique_ptr<QMenu> TreeMapView::createTileMenu(const NodeRef& node)
{
    if (!node)
        return nullptr;
    m_menuTarget = node;
    return m_actions->createMenu(this);
}

void TreeMapView::aboutToRemove(const std::vector<NodeRef>& nodes)
{
    // The tree is still whole here: find the nearest folder above the one shown that stays.
    if (!m_current)
        return;
    NodeRef target;
    for (FileNode* node = m_current.get(); node; node = node->parent()) {
        const bool leaves = std::any_of(nodes.begin(), nodes.end(),
                                        [&](const NodeRef& n) { return n.get() == node; });
        if (leaves)
            target = NodeRef(node->parent());
    }
    if (target)
        m_afterRemoval = target;
}

void TreeMapView::contentChanged()
{
    if (m_afterRemoval) {
        const NodeRef target = std::exchange(m_afterRemoval, NodeRef());
        if (m_root && isInTree(target.get(), *m_root)) {
            navigate(target, false);
            return;
        }
    }
    // A folder that was cut out of the tree has nothing left to show here: go home.
    if (m_current && m_root && !isInTree(m_current.get(), *m_root)) {
        navigate(m_root, false);
        return;
    }
    m_canvas->contentChanged();
    updateHeader();
}

void TreeMapView::updateHeader()
{
    m_name->setText(m_current ? m_current->name() : QString());
    m_size->setText(m_current ? FormatUtils::formatBytes(m_current->cachedSize(),
                                                         m_current->isIncomplete())
                              : QString());
    m_back->setVisible(m_current && m_root && m_current->id() != m_root->id());
}

} // namespace plenvo
