#include "ContentView.h"

#include "AppState.h"
#include "DeleteBanner.h"
#include "DirectoryPickerSheet.h"
#include "DiskUsageMiniBar.h"
#include "HistoryKeeper.h"
#include "InspectorPlaceholderView.h"
#include "ScanningProgressView.h"
#include "SidebarView.h"
#include "ToastView.h"
#include "WelcomeView.h"
#include "theme/Colors.h"
#include "theme/Divider.h"
#include "theme/Icons.h"
#include "utils/Localization.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QPushButton>
#include <QResizeEvent>
#include <QSplitter>
#include <QStackedLayout>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVariantAnimation>

namespace plenvo {

namespace {

constexpr int kSidebarMinimumWidth = 180;
constexpr int kSidebarIdealWidth = 220;

} // namespace

ContentView::ContentView(AppState& state, FolderPanel& panel, DetailViewFactory& factory,
                         QWidget* parent)
    : QWidget(parent), m_state(state), m_panel(panel), m_factory(factory),
      m_lastNavigation(state.navigationSelection())
{
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setHandleWidth(1);
    colourSplitterHandle();
    outer->addWidget(m_splitter);

    m_sidebar = new SidebarView(state, m_splitter);
    m_sidebar->setMinimumWidth(kSidebarMinimumWidth);

    auto* detailColumn = new QWidget(m_splitter);
    m_detailColumn = detailColumn;
    auto* column = new QVBoxLayout(detailColumn);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    // The column's minimum width is the detail view's alone (see updateMinimumWidth()): the
    // inspector yields when there is no room for it, rather than narrowing the sidebar.
    column->setSizeConstraint(QLayout::SetNoConstraint);
    detailColumn->installEventFilter(this);

    m_header = new QWidget(detailColumn);
    m_header->setObjectName(QStringLiteral("headerRow"));
    auto* headerRow = new QHBoxLayout(m_header);
    headerRow->setContentsMargins(16, 8, 16, 8);
    headerRow->setSpacing(0);
    m_miniBar = new DiskUsageMiniBar(m_header);
    headerRow->addWidget(m_miniBar);
    headerRow->addSpacing(12);
    m_rescan = new QPushButton(
        Icons::icon(QStringLiteral("arrow.clockwise"), ColorToken::secondary), L("header.rescan"),
        m_header);
    m_rescan->setObjectName(QStringLiteral("rescanButton"));
    connect(m_rescan, &QPushButton::clicked, this, [this] {
        if (const auto& result = m_state.scanResult())
            m_state.scanDirectory(result->rootPath());
    });
    headerRow->addWidget(m_rescan);
    headerRow->addStretch(1);
    m_toggle = new QToolButton(m_header);
    m_toggle->setObjectName(QStringLiteral("inspectorToggle"));
    m_toggle->setAutoRaise(true);
    m_toggle->setCheckable(true);
    m_toggle->setIcon(Icons::icon(QStringLiteral("sidebar.right"), ColorToken::secondary));
    m_toggle->setIconSize(QSize(18, 18));
    connect(m_toggle, &QToolButton::clicked, this, [this] { toggleInspector(); });
    // The row keeps its height in every view, with the toggle or without it.
    QSizePolicy togglePolicy = m_toggle->sizePolicy();
    togglePolicy.setRetainSizeWhenHidden(true);
    m_toggle->setSizePolicy(togglePolicy);
    headerRow->addWidget(m_toggle);
    column->addWidget(m_header);

    auto* contentRow = new QHBoxLayout;
    contentRow->setSpacing(0);
    m_detailStack = new QStackedLayout;
    contentRow->addLayout(m_detailStack, 1);
    m_divider = new Divider(Qt::Vertical, detailColumn);
    contentRow->addWidget(m_divider);
    m_inspectorColumn = new QWidget(detailColumn);
    m_inspectorColumn->setObjectName(QStringLiteral("inspectorColumn"));
    m_inspectorColumn->setFixedWidth(kInspectorWidth);
    m_inspectorStack = new QStackedLayout(m_inspectorColumn);
    m_inspectorPlaceholder = new InspectorPlaceholderView(m_inspectorColumn);
    m_inspectorStack->addWidget(m_inspectorPlaceholder);
    contentRow->addWidget(m_inspectorColumn);
    column->addLayout(contentRow, 1);

    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({kSidebarIdealWidth, 1000});

    m_inspectorAnimation = new QVariantAnimation(this);
    m_inspectorAnimation->setDuration(200);
    m_inspectorAnimation->setEasingCurve(QEasingCurve::InOutQuad);
    connect(m_inspectorAnimation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& v) { m_inspectorColumn->setFixedWidth(v.toInt()); });
    connect(m_inspectorAnimation, &QVariantAnimation::finished, this, [this] {
        if (!isInspectorShown()) {
            m_inspectorColumn->hide();
            m_divider->hide();
        }
    });

    // Laid over everything, at the top; as tall as what it shows.
    m_overlay = new QWidget(this);
    m_overlay->setObjectName(QStringLiteral("overlay"));
    auto* stack = new QVBoxLayout(m_overlay);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    m_banner = new DeleteBanner(m_overlay);
    m_toast = new ToastView(m_overlay);
    stack->addWidget(m_banner);
    stack->addWidget(m_toast);
    m_banner->hide();
    m_toast->hide();
    connect(m_toast, &ToastView::dismissed, this,
            [this] { m_state.setToastMessage(std::nullopt); });
    connect(m_toast, &ToastView::undoClicked, this, [this] {
        m_state.setToastMessage(std::nullopt);
        m_state.editor().undo();
    });
    m_bannerDelay = new QTimer(this);
    m_bannerDelay->setSingleShot(true);
    connect(m_bannerDelay, &QTimer::timeout, this, [this] { updateOverlay(); });

    setTabOrder(m_sidebar, m_toggle);

    connect(&state, &AppState::scanResultChanged, this, [this] {
        updateDetail();
        updateInspector(); // the header too
    });
    connect(&state, &AppState::isScanningChanged, this, [this] {
        updateDetail();
        updateInspector(); // the header too
    });
    const auto updateProgress = [this] {
        if (auto* progress = qobject_cast<ScanningProgressView*>(m_detailWidget)) {
            progress->setTitle(progressTitle());
            progress->setReadingSavedScan(m_state.isOpeningScan());
            progress->setStopping(m_state.isStoppingScan());
            progress->setProgress(m_state.scanProgress());
        }
    };
    connect(&state, &AppState::scanProgressChanged, this, updateProgress);
    connect(&state, &AppState::isStoppingChanged, this, updateProgress);
    connect(&state, &AppState::navigationSelectionChanged, this, [this] {
        reactToNavigation();
        updateDetail();
        updateInspector(); // the header too
    });
    connect(&state, &AppState::contentRevisionChanged, this, [this] { updateHeader(); });
    connect(&state.history(), &HistoryKeeper::scansChanged, this, [this] { updateHeader(); });
    connect(&state, &AppState::selectedNodeChanged, this, [this] { updateInspectorContent(); });
    connect(&state, &AppState::deleteProgressChanged, this, [this] { updateOverlay(); });
    connect(&state, &AppState::toastMessageChanged, this, [this] { updateOverlay(); });
    connect(&state.editor(), &ResultEditor::policyChanged, this, [this] { updateOverlay(); });
    connect(&state, &AppState::showDirectoryPickerChanged, this, [this] { syncPicker(); });

    updateDetail();
    updateInspector();
    updateOverlay();
}

ContentView::~ContentView() = default;

DirectoryPickerSheet* ContentView::pickerSheet() const
{
    return m_sheet;
}

bool ContentView::supportsInspector() const
{
    const auto nav = m_state.navigationSelection();
    return !m_state.isScanning() && m_state.scanResult() && nav && nav->supportsInspector();
}

bool ContentView::hasRoomForInspector() const
{
    const int detailMinimum = m_detailWidget ? m_detailWidget->minimumSizeHint().width() : 0;
    return m_detailColumn->width() - m_divider->sizeHint().width() - kInspectorWidth >=
           detailMinimum;
}

void ContentView::toggleInspector()
{
    if (supportsInspector() && hasRoomForInspector())
        setShowInspector(!m_showInspector);
    else
        updateHeader();
}

bool ContentView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_detailColumn && event->type() == QEvent::Resize) {
        // A narrower window may leave no room for the inspector, a wider one room again.
        const bool room = hasRoomForInspector();
        if (room != m_hadRoomForInspector) {
            m_hadRoomForInspector = room;
            updateInspector(false);
        }
    } else if (watched == m_detailWidget && event->type() == QEvent::LayoutRequest) {
        updateMinimumWidth();
    }
    return QWidget::eventFilter(watched, event);
}

void ContentView::updateMinimumWidth()
{
    const int header =
        m_header->isVisibleTo(m_detailColumn) ? m_header->minimumSizeHint().width() : 0;
    const int detail = m_detailWidget ? m_detailWidget->minimumSizeHint().width() : 0;
    m_detailColumn->setMinimumWidth(std::max(header, detail));
}

void ContentView::setShowInspector(bool show)
{
    m_showInspector = show;
    updateInspector();
}

void ContentView::reactToNavigation()
{
    const auto nav = m_state.navigationSelection();
    if (nav == m_lastNavigation)
        return; // assigned again without a change
    m_lastNavigation = nav;
    if (nav && nav->supportsInspector()) {
        m_showInspector = true;
        return;
    }
    m_showInspector = false;
    m_state.setSelectedNode({});
    m_state.setInspectorCandidateNodes({});
}

QString ContentView::progressTitle() const
{
    if (m_state.isStoppingScan())
        return L("scanning.stopping");
    return m_state.isOpeningScan() ? L("import.title") : L("scanning.title");
}

ContentView::Detail ContentView::currentDetail() const
{
    if (m_state.isScanning())
        return Detail::scanning;
    if (!m_state.scanResult())
        return Detail::welcome;
    return Detail::analysis;
}

void ContentView::updateDetail()
{
    const Detail detail = currentDetail();
    const SidebarItem destination =
        m_state.navigationSelection().value_or(SidebarItem::overview).shownView();
    const ScanResult* result = m_state.scanResult().get();
    if (m_detailWidget && detail == m_detail &&
        (detail != Detail::analysis || (result == m_detailResult && destination == m_destination)))
        return;
    m_detail = detail;
    m_detailResult = result;
    m_destination = destination;

    QWidget* view = nullptr;
    switch (detail) {
    case Detail::welcome: {
        auto* welcome = new WelcomeView(m_state, m_panel, this);
        // The main action of the screen takes the keyboard first.
        welcome->selectFolderButton()->setFocus(Qt::OtherFocusReason);
        view = welcome;
        break;
    }
    case Detail::scanning: {
        auto* progress = new ScanningProgressView(this);
        progress->setTitle(progressTitle());
        progress->setReadingSavedScan(m_state.isOpeningScan());
        progress->setStopping(m_state.isStoppingScan());
        progress->setProgress(m_state.scanProgress());
        connect(progress, &ScanningProgressView::stopRequested, &m_state, &AppState::stopScan);
        progress->stopButton()->setFocus(Qt::OtherFocusReason);
        view = progress;
        break;
    }
    case Detail::analysis:
        view = m_factory.createDetailView(destination, m_state, this);
        break;
    }
    if (m_detailWidget) {
        m_detailStack->removeWidget(m_detailWidget);
        m_detailWidget->hide();
        m_detailWidget->deleteLater();
    }
    m_detailWidget = view;
    m_detailStack->addWidget(view);
    m_detailStack->setCurrentWidget(view);
    view->installEventFilter(this);
    updateMinimumWidth();
    m_hadRoomForInspector = hasRoomForInspector();
    m_overlay->raise();
}

void ContentView::updateHeader()
{
    const auto& result = m_state.scanResult();
    m_header->setVisible(result != nullptr);
    m_miniBar->setResult(result.get());
    // A kept scan was made here: its folder can be scanned again.
    const bool kept = result && result->openedFrom() &&
                      m_state.history().isKept(*result->openedFrom());
    m_rescan->setVisible(kept);
    m_rescan->setToolTip(kept ? L("header.rescanHelp %@", result->rootPathDisplay()) : QString());
    m_toggle->setVisible(supportsInspector());
    const bool room = hasRoomForInspector();
    m_toggle->setEnabled(room);
    m_toggle->setChecked(isInspectorShown());
    m_toggle->setToolTip(!room             ? L("toolbar.inspectorNeedsRoom")
                         : m_showInspector ? L("toolbar.hideInspector")
                                           : L("toolbar.showInspector"));
    m_toggle->setAccessibleName(m_toggle->toolTip());
    updateMinimumWidth();
}

void ContentView::updateInspector(bool animated)
{
    updateHeader();
    const bool shown = isInspectorShown();
    const int target = shown ? kInspectorWidth : 0;
    if (shown) {
        m_inspectorColumn->show();
        m_divider->show();
        updateInspectorContent();
    }
    if (!isVisible() || !animated) {
        // Nothing to animate on a window that is not on screen, nor when the window's width
        // decides.
        m_inspectorAnimation->stop();
        m_inspectorColumn->setFixedWidth(target);
        m_inspectorColumn->setVisible(shown);
        m_divider->setVisible(shown);
        return;
    }
    if (m_inspectorColumn->width() == target &&
        m_inspectorAnimation->state() != QAbstractAnimation::Running) {
        m_inspectorColumn->setVisible(shown);
        m_divider->setVisible(shown);
        return;
    }
    m_inspectorAnimation->stop();
    m_inspectorAnimation->setStartValue(m_inspectorColumn->width());
    m_inspectorAnimation->setEndValue(target);
    m_inspectorAnimation->start();
}

void ContentView::updateInspectorContent()
{
    if (m_inspectorView) {
        m_inspectorStack->removeWidget(m_inspectorView);
        m_inspectorView->deleteLater();
        m_inspectorView = nullptr;
    }
    if (m_state.selectedNode())
        m_inspectorView = m_factory.createInspectorView(m_state, m_inspectorColumn);
    if (m_inspectorView) {
        m_inspectorStack->addWidget(m_inspectorView);
        m_inspectorStack->setCurrentWidget(m_inspectorView);
    } else {
        m_inspectorStack->setCurrentWidget(m_inspectorPlaceholder);
    }
}

void ContentView::updateOverlay()
{
    const bool deleting = m_state.isDeleting();
    if (deleting && !m_wasDeleting)
        m_bannerDelay->start(kBannerDelayMilliseconds); // a quick move shows only its toast
    m_wasDeleting = deleting;
    m_banner->setProgress(m_state.deleteCount(), m_state.deleteTotalCount(),
                          m_state.editor().isUndoing());
    if (m_state.toastMessage())
        m_toast->setMessage(*m_state.toastMessage(), m_state.toastKind());
    m_toast->setUndoOffered(m_state.toastOffersUndo() && m_state.editor().canUndo());
    reveal(m_banner, deleting && !m_bannerDelay->isActive(), 200);
    reveal(m_toast, m_state.toastMessage().has_value(), 300);
    layOutOverlay();
}

void ContentView::reveal(QWidget* widget, bool show, int milliseconds)
{
    // Slides in from the top edge while fading in; the reverse when it goes.
    const bool shown = widget->property("revealed").toBool();
    if (shown == show)
        return;
    widget->setProperty("revealed", show);
    auto* opacity = qobject_cast<QGraphicsOpacityEffect*>(widget->graphicsEffect());
    if (!opacity) {
        opacity = new QGraphicsOpacityEffect(widget);
        widget->setGraphicsEffect(opacity);
    }
    auto* previous =
        widget->findChild<QVariantAnimation*>(QStringLiteral("reveal"), Qt::FindDirectChildrenOnly);
    delete previous;
    const int fullHeight = widget->sizeHint().height();
    if (show) {
        widget->setMaximumHeight(0);
        widget->show();
    }
    if (!isVisible()) {
        widget->setMaximumHeight(QWIDGETSIZE_MAX);
        opacity->setOpacity(1.0);
        widget->setVisible(show);
        return;
    }
    auto* animation = new QVariantAnimation(widget);
    animation->setObjectName(QStringLiteral("reveal"));
    animation->setDuration(milliseconds);
    animation->setEasingCurve(QEasingCurve::InOutQuad);
    animation->setStartValue(show ? 0.0 : 1.0);
    animation->setEndValue(show ? 1.0 : 0.0);
    connect(animation, &QVariantAnimation::valueChanged, widget,
            [this, widget, opacity, fullHeight](const QVariant& v) {
                const double t = v.toDouble();
                opacity->setOpacity(t);
                widget->setMaximumHeight(int(fullHeight * t));
                layOutOverlay();
            });
    connect(animation, &QVariantAnimation::finished, widget, [this, widget, show] {
        widget->setMaximumHeight(QWIDGETSIZE_MAX);
        widget->setVisible(show);
        layOutOverlay();
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void ContentView::layOutOverlay()
{
    const bool any = m_banner->isVisibleTo(m_overlay) || m_toast->isVisibleTo(m_overlay);
    m_overlay->setVisible(any);
    if (!any)
        return;
    m_overlay->layout()->activate();
    m_overlay->setGeometry(0, 0, width(), m_overlay->layout()->sizeHint().height());
    m_overlay->raise();
}

void ContentView::colourSplitterHandle()
{
    m_splitter->setStyleSheet(QStringLiteral("QSplitter::handle { background: %1; }")
                                  .arg(Colors::divider(palette()).name()));
}

void ContentView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        colourSplitterHandle();
}

void ContentView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOutOverlay();
}

void ContentView::setSheetActions(const QList<QAction*>& actions)
{
    if (m_sheet) {
        for (QAction* action : std::as_const(m_sheetActions))
            m_sheet->removeAction(action);
        m_sheet->addActions(actions);
    }
    m_sheetActions = actions;
}

void ContentView::syncPicker()
{
    const bool wanted = m_state.showDirectoryPicker();
    if (wanted && !(m_sheet && m_sheet->isVisible())) {
        if (!m_sheet) {
            m_sheet = new DirectoryPickerSheet(m_state, m_panel, this);
            m_sheet->setWindowModality(Qt::WindowModal);
            m_sheet->addActions(m_sheetActions);
            // However it closes, the state hears of it.
            connect(m_sheet, &QDialog::finished, this, [this] {
                if (m_state.showDirectoryPicker())
                    m_state.setShowDirectoryPicker(false);
            });
        }
        m_sheet->open();
    } else if (!wanted && m_sheet && m_sheet->isVisible()) {
        m_sheet->reject();
    }
}

} // namespace plenvo
