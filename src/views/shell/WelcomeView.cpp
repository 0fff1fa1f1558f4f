#include "WelcomeView.h"

#include "AppState.h"
#include "FolderPanel.h"
#include "HistoryKeeper.h"
#include "LocationDrop.h"
#include "RecentScanDelegate.h"
#include "RecentScansModel.h"
#include "theme/Colors.h"
#include "theme/Icons.h"
#include "theme/ProminentButton.h"
#include "theme/StyledLabel.h"
#include "theme/SymbolView.h"
#include "theme/TextStyles.h"
#include "utils/Localization.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace plenvo {

namespace {

constexpr int kSpacing = 32;
constexpr int kTitleSpacing = 8;
constexpr int kButtonSpacing = 12;
constexpr qreal kIconSystemSize = 56;
constexpr int kPrimaryHorizontalPadding = 20;
constexpr int kPrimaryVerticalPadding = 10;
constexpr int kRecentWidth = 440;
constexpr int kRecentSpacing = 6;

} // namespace

WelcomeView::WelcomeView(AppState& state, FolderPanel& panel, QWidget* parent)
    : QWidget(parent), m_state(state), m_panel(panel),
      m_icon(new SymbolView(QStringLiteral("internaldrive.fill"),
                            Icons::extentFor(TextStyles::systemFont(kIconSystemSize)),
                            ColorToken::blue, this)),
      m_title(new StyledLabel(TextStyle::largeTitle, {.weight = QFont::Bold}, std::nullopt, this)),
      m_tagline(new StyledLabel(TextStyle::callout, {}, ColorToken::secondary, this)),
      m_selectFolder(new ProminentButton(L("welcome.selectFolder"), kPrimaryVerticalPadding,
                                         kPrimaryHorizontalPadding, this)),
      m_scanHome(new QPushButton(L("welcome.scanHome"), this)),
      m_dragHint(new StyledLabel(TextStyle::caption, {}, ColorToken::tertiary, this)),
      m_recentTitle(new StyledLabel(TextStyle::caption, {.weight = QFont::DemiBold},
                                    ColorToken::secondary, this)),
      m_recent(new QListView(this))
{
    // Drops are taken without any highlight while something is dragged over the view.
    setAcceptDrops(true);
    m_title->setObjectName(QStringLiteral("welcome.title"));
    m_tagline->setObjectName(QStringLiteral("welcome.tagline"));
    m_dragHint->setObjectName(QStringLiteral("welcome.dragHint"));
    m_title->setText(L("app.name"));
    m_tagline->setText(L("app.tagline"));
    m_dragHint->setText(L("welcome.dragHint"));
    for (StyledLabel* label : {m_title, m_tagline, m_dragHint}) {
        label->setAlignment(Qt::AlignCenter);
        label->setTextFormat(Qt::PlainText);
    }
    m_selectFolder->setDefault(true);

    auto* titles = new QVBoxLayout;
    titles->setSpacing(kTitleSpacing);
    titles->addWidget(m_title, 0, Qt::AlignHCenter);
    titles->addWidget(m_tagline, 0, Qt::AlignHCenter);

    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(kButtonSpacing);
    buttons->addWidget(m_selectFolder, 0, Qt::AlignHCenter);
    buttons->addWidget(m_scanHome, 0, Qt::AlignHCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(kSpacing);
    layout->addStretch(1);
    layout->addWidget(m_icon, 0, Qt::AlignHCenter);
    layout->addLayout(titles);
    layout->addLayout(buttons);
    layout->addWidget(m_dragHint, 0, Qt::AlignHCenter);

    // The recent scans, when the history keeps any.
    m_recentTitle->setObjectName(QStringLiteral("welcome.recentTitle"));
    m_recentTitle->setText(L("welcome.recentScans"));
    m_recent->setObjectName(QStringLiteral("recentScans"));
    m_recent->setAccessibleName(L("welcome.recentScans"));
    auto* recentModel = new RecentScansModel(state.history(), m_recent);
    auto* recentDelegate = new RecentScanDelegate(m_recent);
    m_recent->setModel(recentModel);
    m_recent->setItemDelegate(recentDelegate);
    m_recent->setUniformItemSizes(true);
    m_recent->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_recent->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_recent->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_recent->setFixedWidth(kRecentWidth);
    m_recent->setCursor(Qt::PointingHandCursor);
    connect(m_recent, &QListView::activated, this,
            [this](const QModelIndex& index) { openRecent(index.row()); });
    connect(m_recent, &QListView::clicked, this,
            [this](const QModelIndex& index) { openRecent(index.row()); });
    auto* recent = new QVBoxLayout;
    recent->setSpacing(kRecentSpacing);
    recent->addWidget(m_recentTitle, 0, Qt::AlignLeft);
    recent->addWidget(m_recent);
    auto* recentRow = new QHBoxLayout;
    recentRow->addStretch(1);
    recentRow->addLayout(recent);
    recentRow->addStretch(1);
    layout->addLayout(recentRow);
    layout->addStretch(1);
    connect(recentModel, &QAbstractItemModel::rowsInserted, this, &WelcomeView::updateRecent);
    connect(recentModel, &QAbstractItemModel::rowsRemoved, this, &WelcomeView::updateRecent);
    updateRecent();

    connect(m_selectFolder, &QPushButton::clicked, this, &WelcomeView::selectFolder);
    connect(m_scanHome, &QPushButton::clicked, this, &WelcomeView::scanHome);
    styleSelectFolderButton();
}

void WelcomeView::updateRecent()
{
    // As tall as its rows; on a short window down to two of them, scrolling.
    const int rows = m_recent->model()->rowCount();
    const int rowHeight = m_recent->sizeHintForRow(0);
    const int frame = 2 * m_recent->frameWidth();
    m_recent->setMaximumHeight(rows * rowHeight + frame);
    m_recent->setMinimumHeight(std::min(rows, 2) * rowHeight + frame);
    const bool any = rows > 0;
    m_recentTitle->setVisible(any);
    m_recent->setVisible(any);
}

void WelcomeView::openRecent(int row)
{
    const QByteArray file =
        m_recent->model()->index(row, 0).data(RecentScansModel::FileRole).toByteArray();
    // A click may also activate the row: the scan opens once.
    if (!file.isEmpty() && !m_state.isScanning())
        m_state.openScan(file.toStdString());
}

void WelcomeView::selectFolder()
{
    const std::optional<QString> folder =
        m_panel.chooseFolder(this, {.message = L("picker.desc"),
                                    .confirmText = L("picker.scan"),
                                    .allowCreatingFolders = true});
    if (folder && !folder->isEmpty())
        m_state.scanDirectory(*folder);
}

void WelcomeView::scanHome()
{
    m_state.scanDirectory(QDir::homePath());
}

bool WelcomeView::handleDrop(const QMimeData* mimeData)
{
    return LocationDrop::handle(m_state, mimeData);
}

void WelcomeView::dragEnterEvent(QDragEnterEvent* event)
{
    if (LocationDrop::carriesOnlyFileLocations(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void WelcomeView::dropEvent(QDropEvent* event)
{
    if (handleDrop(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void WelcomeView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::PaletteChange:
    case QEvent::FontChange:
        styleSelectFolderButton();
        break;
    default:
        break;
    }
}

void WelcomeView::styleSelectFolderButton()
{
    // The primary button: filled with the accent colour, medium weight, padded generously.
    const QPalette base = palette();
    const QFont font = TextStyles::font(TextStyle::body, {.weight = QFont::Medium});
    const int iconExtent = Icons::extentFor(font);
    m_selectFolder->setFont(font);
    m_selectFolder->setIcon(Icons::icon(QStringLiteral("folder.badge.questionmark"),
                                        base.color(QPalette::HighlightedText)));
    m_selectFolder->setIconSize(QSize(iconExtent, iconExtent));
}

} // namespace plenvo
