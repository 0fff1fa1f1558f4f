#include "CategoriesView.h"

#include "AppState.h"
#include "CategoryFilesHeader.h"
#include "CategoryLegendRow.h"
#include "CategoryListRow.h"
#include "FileActions.h"
#include "FileListModel.h"
#include "FileOperationBar.h"
#include "FileOperationList.h"
#include "FileRowDelegate.h"
#include "FileSelectionModel.h"
#include "RingChartView.h"
#include "ViewHeader.h"
#include "geometry/RingGeometry.h"
#include "models/ScanResult.h"
#include "theme/Divider.h"
#include "theme/RoundedPanel.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace plenvo {

namespace {

constexpr int kPanePadding = 16;
constexpr int kPaneSpacing = 16;
constexpr int kLeftMinimumWidth = 280;
constexpr int kLeftIdealWidth = 320;
constexpr int kLegendSpacing = 6;
constexpr int kLegendMinimumWidth = 140;
// The left pane leaves its ideal width only when the file pane would have less than this more
// than its minimum.
constexpr int kFilePaneRoom = 120;

} // namespace

CategoriesView::CategoriesView(AppState& state, FileManager& fileManager, Clipboard& clipboard,
                               QWidget* parent)
    : QWidget(parent), m_state(state), m_result(state.scanResult()),
      m_model(new FileListModel(&state.editor(), this)),
      m_selection(new FileSelectionModel(m_model, this)),
      m_actions(new FileActions(state, fileManager, clipboard,
                                [this] { return m_selection->selectedFiles(); }, this))
{
    setObjectName(QStringLiteral("categoriesView"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->setSizeConstraint(QLayout::SetNoConstraint); // see minimumSizeHint()

    m_header = new ViewHeader(QStringLiteral("folder.fill"), ColorToken::blue, this);
    m_header->setTitle(L("categories.title"));
    column->addWidget(m_header);
    column->addWidget(new Divider(Qt::Horizontal, this));
    auto* panes = new QHBoxLayout;
    panes->setSpacing(0);
    panes->addWidget(leftPane());
    m_divider = new Divider(Qt::Vertical, this);
    panes->addWidget(m_divider);
    panes->addWidget(rightPane(), 1);
    column->addLayout(panes, 1);
    setFocusProxy(m_list);

    m_shown = m_state.scanResult() ? m_state.scanResult() : m_result;
    if (!stats().empty())
        m_selectedCategory = stats().front().category;
    rebuildCategories();
    m_model->setFiles(&categoryFiles(), m_visibleLimit);
    updateSelectedCategory();
    updateFilesHeader();

    connect(&state, &AppState::contentRevisionChanged, this,
            &CategoriesView::reconcileAfterResultChange);
    // The header counts the rows shown.
    connect(m_model, &FileListModel::synced, this, &CategoriesView::updateFilesHeader);
}

CategoriesView::~CategoriesView() = default;

QWidget* CategoriesView::leftPane()
{
    auto* pane = new QScrollArea(this);
    pane->setObjectName(QStringLiteral("categoriesPane"));
    pane->setFrameShape(QFrame::NoFrame);
    pane->setWidgetResizable(true);
    pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pane->setFixedWidth(kLeftIdealWidth); // see fitPanes()
    m_leftPane = pane;

    auto* content = new QWidget;
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(kPanePadding, kPanePadding, kPanePadding, kPanePadding);
    stack->setSpacing(kPaneSpacing);

    // The ring panel. The ring's stroke reaches beyond its box into the padding around it: the
    // ring view spans the panel's padding, so that its box keeps the panel's padding and
    // spacing, and the stroke is not cut when a scroll bar narrows the pane.
    auto* ringPanel = new RoundedPanel(content);
    ringPanel->setObjectName(QStringLiteral("ringPanel"));
    auto* ringStack = new QVBoxLayout(ringPanel);
    const int overhang = int(std::ceil(RingGeometry::overhang()));
    ringStack->setContentsMargins(0, kPanePadding - overhang, 0, kPanePadding);
    ringStack->setSpacing(0);
    m_ring = new RingChartView(ringPanel);
    ringStack->addWidget(m_ring);
    ringStack->addSpacing(kPaneSpacing - overhang);
    auto* legend = new QWidget(ringPanel);
    legend->setObjectName(QStringLiteral("legend"));
    legend->setMinimumWidth(kLegendMinimumWidth + 2 * kPanePadding);
    m_legend = new QVBoxLayout(legend);
    m_legend->setContentsMargins(kPanePadding, 0, kPanePadding, 0);
    m_legend->setSpacing(kLegendSpacing);
    ringStack->addWidget(legend);
    stack->addWidget(ringPanel);
    connect(m_ring, &RingChartView::categoryClicked, this, &CategoriesView::selectCategory);

    auto* list = new RoundedPanel(content);
    list->setObjectName(QStringLiteral("categoryList"));
    m_categoryList = new QVBoxLayout(list);
    m_categoryList->setContentsMargins(8, 8, 8, 8);
    m_categoryList->setSpacing(1);
    stack->addWidget(list);
    stack->addStretch(1);
    pane->setWidget(content);
    return pane;
}

QWidget* CategoriesView::rightPane()
{
    auto* pane = new QWidget(this);
    // It takes the width the left pane leaves (see fitPanes()).
    pane->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_filePane = pane;
    auto* column = new QVBoxLayout(pane);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_filesHeader = new CategoryFilesHeader(pane);
    connect(m_filesHeader, &CategoryFilesHeader::showMoreClicked, this, &CategoriesView::showMore);
    m_list = new FileOperationList(m_state, *m_selection, *m_actions, pane);
    m_list->rowDelegate()->setShowCategory(false);
    m_list->rowDelegate()->setShowModifiedDate(true);
    m_list->setAutoSelectFirst(true);
    m_list->setMinimumWidth(m_list->rowDelegate()->minimumRowWidth() +
                            style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    m_bar = new FileOperationBar(m_state, *m_selection, *m_actions, pane);
    column->addWidget(m_filesHeader);
    column->addWidget(m_list, 1);
    column->addWidget(new Divider(Qt::Horizontal, pane));
    column->addWidget(m_bar);
    return pane;
}

const std::vector<CategoryStat>& CategoriesView::stats() const
{
    static const std::vector<CategoryStat> none;
    return m_shown ? m_shown->categoryStat() : none;
}

std::int64_t CategoriesView::totalSize() const
{
    return m_shown ? m_shown->totalSize() : 0;
}

bool CategoriesView::isTotalAtLeast() const
{
    return m_shown && m_shown->rootNode()->isIncomplete(); // a stopped scan counts what it read
}

const CategoryStat* CategoriesView::selectedStat() const
{
    const auto found = std::find_if(stats().begin(), stats().end(), [&](const CategoryStat& stat) {
        return stat.category == m_selectedCategory;
    });
    return found == stats().end() ? nullptr : &*found;
}

const std::vector<NodeRef>& CategoriesView::categoryFiles() const
{
    static const std::vector<NodeRef> none;
    return m_selectedCategory && m_shown ? m_shown->files(*m_selectedCategory) : none;
}

void CategoriesView::selectCategory(FileCategory category)
{
    if (m_selectedCategory == category)
        return;
    m_selectedCategory = category;
    categoryChanged();
}

void CategoriesView::categoryChanged()
{
    m_visibleLimit = kPageSize;
    // A new list: whatever was selected belongs to another category, so the list selects its
    // first file.
    m_model->setFiles(&categoryFiles(), m_visibleLimit);
    m_list->scrollToTop();
    updateSelectedCategory();
    updateFilesHeader();
}

void CategoriesView::showMore()
{
    m_visibleLimit += kPageSize;
    m_model->setLimit(m_visibleLimit); // inserts the new rows: the list keeps its place
}

void CategoriesView::selectFirstDisplayedFileIfNeeded()
{
    if (!m_selection->hasSelection() && m_model->rowCount() > 0)
        m_selection->selectOnly(0); // the list shows it in the inspector
}

void CategoriesView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitPanes();
}

QSize CategoriesView::minimumSizeHint() const
{
    return {kLeftMinimumWidth + m_divider->sizeHint().width() +
                m_filePane->minimumSizeHint().width(),
            QWidget::minimumSizeHint().height()};
}

void CategoriesView::fitPanes()
{
    // The left pane keeps its ideal width while the file list and its bar have some room
    // beyond their minimum, and narrows down to its own minimum before they are squeezed.
    const int room = width() - m_divider->sizeHint().width() -
                     m_filePane->minimumSizeHint().width() - kFilePaneRoom;
    m_leftPane->setFixedWidth(std::clamp(room, kLeftMinimumWidth, kLeftIdealWidth));
}

void CategoriesView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    selectFirstDisplayedFileIfNeeded();
}

void CategoriesView::reconcileAfterResultChange()
{
    // The state's result is read afresh; the view's own one stands in when there is none.
    const std::shared_ptr<ScanResult> live = m_state.scanResult() ? m_state.scanResult() : m_result;
    const bool otherResult = live != m_shown;
    m_shown = live;
    rebuildCategories();
    if (m_selectedCategory && !selectedStat()) {
        // The category has no files left: the first one that has any takes its place.
        m_selectedCategory =
            stats().empty() ? std::nullopt : std::optional<FileCategory>(stats().front().category);
        categoryChanged();
        return;
    }
    // After an edit the rows follow the list on their own (FileListModel::sync).
    if (otherResult)
        m_model->setFiles(&categoryFiles(), m_visibleLimit);
    updateSelectedCategory();
    updateFilesHeader();
}

void CategoriesView::rebuildCategories()
{
    for (CategoryLegendRow* row : m_legendRows)
        delete row;
    for (CategoryListRow* row : m_categoryRows)
        delete row;
    m_legendRows.clear();
    m_categoryRows.clear();
    const std::int64_t total = totalSize();
    m_header->setSubtitle(
        L("categories.summary %lld %@", qint64(stats().size()),
          FormatUtils::formatBytes(total, isTotalAtLeast())));
    m_ring->setSlices(RingGeometry::slices(stats(), total));
    QWidget* legend = m_legend->parentWidget();
    QWidget* list = m_categoryList->parentWidget();
    for (const CategoryStat& stat : stats()) {
        auto* legendRow = new CategoryLegendRow(stat, legend);
        connect(legendRow, &QAbstractButton::clicked, this,
                [this, category = stat.category] { selectCategory(category); });
        m_legend->addWidget(legendRow);
        m_legendRows.push_back(legendRow);
        auto* listRow = new CategoryListRow(stat, total, list);
        connect(listRow, &QAbstractButton::clicked, this,
                [this, category = stat.category] { selectCategory(category); });
        m_categoryList->addWidget(listRow);
        m_categoryRows.push_back(listRow);
    }
}

void CategoriesView::updateSelectedCategory()
{
    m_ring->setSelectedCategory(m_selectedCategory);
    for (CategoryListRow* row : m_categoryRows)
        row->setChecked(row->category() == m_selectedCategory);
    if (const CategoryStat* stat = selectedStat()) {
        m_ring->setCenter({QString::fromLatin1(stat->category.icon()), stat->category.color(),
                           FormatUtils::formatBytesCompact(stat->totalSize),
                           stat->category.localizedName()});
    } else {
        m_ring->setCenter({{},
                           ColorToken::secondary,
                           FormatUtils::formatBytesCompact(totalSize(), isTotalAtLeast()),
                           L("categories.total")});
    }
}

void CategoriesView::updateFilesHeader()
{
    const std::int64_t fileCount = std::int64_t(categoryFiles().size());
    const std::int64_t listed = std::min<std::int64_t>(fileCount, std::max(0, m_visibleLimit));
    const CategoryStat* stat = selectedStat();
    m_filesHeader->setContent(m_selectedCategory, listed, fileCount, stat ? stat->totalSize : 0);
}

} // namespace plenvo
