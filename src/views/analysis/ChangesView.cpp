#include "ChangesView.h"

#include "AppState.h"
#include "ChangesList.h"
#include "ChangesModel.h"
#include "ChangesSummaryView.h"
#include "ChangesTracker.h"
#include "HistoryKeeper.h"
#include "FileActions.h"
#include "ViewHeader.h"
#include "shell/ActivitySpinner.h"
#include "shell/ScanFilePanel.h"
#include "theme/Icons.h"
#include "theme/StyledLabel.h"
#include "theme/SymbolView.h"
#include "theme/TextStyles.h"
#include "theme/ToolbarSurface.h"
#include "utils/DisplayText.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace plenvo {

namespace {

enum Page { listPage, emptyPage, messagePage };

QFrame* divider(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);
    return line;
}

QString fileNameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return DisplayText::fromBytes(slash == std::string::npos ? std::string_view(path)
                                                             : std::string_view(path).substr(slash + 1));
}

QToolButton* actionButton(QAction* action, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setFont(TextStyles::systemFont(11));
    button->setIconSize(QSize(14, 14));
    return button;
}

} // namespace

ChangesView::ChangesView(AppState& state, FileManager& fileManager, Clipboard& clipboard,
                         ScanFilePanel& scanFiles, QWidget* parent)
    : QWidget(parent), m_state(state), m_scanFiles(scanFiles), m_model(new ChangesModel(this))
{
    setObjectName(QStringLiteral("changesView"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    m_actions = new FileActions(state, fileManager, clipboard,
                                [this] { return m_list ? m_list->selectedNodes() : std::vector<NodeRef>(); },
                                this);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // The header: since when, and the choice of the earlier scan.
    m_header = new ViewHeader(QStringLiteral("clock.arrow.circlepath"), ColorToken::teal, this);
    m_header->setTitle(L("changes.title"));
    m_spinner = new ActivitySpinner(14, m_header);
    m_spinner->setObjectName(QStringLiteral("changesUpdating"));
    m_spinner->setToolTip(L("changes.updating"));
    m_header->addTrailingWidget(m_spinner);
    m_chooser = new QComboBox(m_header);
    m_chooser->setObjectName(QStringLiteral("changesEarlier"));
    m_chooser->setToolTip(L("changes.compareWith"));
    m_chooser->setAccessibleName(L("changes.compareWith"));
    m_chooser->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_chooser->setFont(TextStyles::systemFont(11));
    m_header->addTrailingWidget(m_chooser);
    connect(m_chooser, &QComboBox::activated, this, &ChangesView::chooserActivated);
    column->addWidget(m_header);
    column->addWidget(divider(this));

    m_summary = new ChangesSummaryView(this);
    column->addWidget(m_summary);
    connect(m_summary, &ChangesSummaryView::filtersChanged, m_model, &ChangesModel::setFilters);

    // The folder shown, as the treemap's bar shows it.
    m_folderBar = new ToolbarSurface(this);
    m_folderBar->setObjectName(QStringLiteral("changesFolderBar"));
    auto* bar = new QHBoxLayout(m_folderBar);
    bar->setContentsMargins(16, 8, 16, 8);
    bar->setSpacing(4);
    const int symbolExtent = Icons::extentFor(TextStyles::font(TextStyle::caption2));
    m_home = new QToolButton(m_folderBar);
    m_home->setObjectName(QStringLiteral("changesHome"));
    m_home->setStyleSheet(
        QStringLiteral("QToolButton { border: none; padding: 0; background: transparent; }"));
    m_home->setIcon(Icons::icon(QStringLiteral("house.fill"), ColorToken::secondary));
    m_home->setIconSize(QSize(symbolExtent, symbolExtent));
    m_home->setAccessibleName(L("changes.top"));
    m_home->setToolTip(L("changes.top"));
    connect(m_home, &QToolButton::clicked, m_model, &ChangesModel::goHome);
    bar->addWidget(m_home);
    bar->addWidget(new SymbolView(QStringLiteral("chevron.right"), symbolExtent,
                                  ColorToken::quaternary, m_folderBar));
    m_folderName = new StyledLabel(TextStyle::callout, {.weight = QFont::Medium}, std::nullopt,
                                   m_folderBar);
    m_folderName->setElideMode(Qt::ElideMiddle);
    bar->addWidget(m_folderName, 1);
    m_folderChange = new StyledLabel(TextStyle::callout, {.monospacedDigits = true},
                                     ColorToken::secondary, m_folderBar);
    bar->addWidget(m_folderChange);
    m_back = new QPushButton(L("treemap.goBack"), m_folderBar);
    m_back->setObjectName(QStringLiteral("changesGoBack"));
    m_back->setFont(TextStyles::systemFont(11));
    connect(m_back, &QPushButton::clicked, m_model, &ChangesModel::goUp);
    bar->addWidget(m_back);
    bar->addStrut(m_back->sizeHint().height()); // the same height with the button or without
    column->addWidget(divider(this));
    column->addWidget(m_folderBar);

    // The list, the note when it is empty, or what is happening instead.
    m_pages = new QStackedLayout;
    m_list = new ChangesList(state, *m_model, *m_actions, this);
    m_pages->addWidget(m_list);
    m_empty = new StyledLabel(TextStyle::callout, {}, ColorToken::secondary, this);
    m_empty->setObjectName(QStringLiteral("changesEmpty"));
    m_empty->setAlignment(Qt::AlignCenter);
    m_empty->setWordWrap(true);
    m_pages->addWidget(m_empty);
    m_messagePage = new QWidget(this);
    auto* message = new QVBoxLayout(m_messagePage);
    message->setContentsMargins(32, 24, 32, 24);
    message->setSpacing(10);
    message->addStretch(1);
    m_messageSpinner = new ActivitySpinner(24, m_messagePage);
    message->addWidget(m_messageSpinner, 0, Qt::AlignHCenter);
    m_messageTitle = new StyledLabel(TextStyle::headline, {}, std::nullopt, m_messagePage);
    m_messageTitle->setObjectName(QStringLiteral("changesMessage"));
    m_messageDetail = new StyledLabel(TextStyle::callout, {}, ColorToken::secondary, m_messagePage);
    for (StyledLabel* label : {m_messageTitle, m_messageDetail}) {
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        message->addWidget(label);
    }
    m_chooseFile = new QPushButton(L("changes.chooseFile"), m_messagePage);
    m_chooseFile->setObjectName(QStringLiteral("changesChooseFile"));
    connect(m_chooseFile, &QPushButton::clicked, this, &ChangesView::chooseFile);
    message->addWidget(m_chooseFile, 0, Qt::AlignHCenter);
    message->addStretch(1);
    m_pages->addWidget(m_messagePage);
    column->addLayout(m_pages, 1);

    // The actions on the selected entries.
    auto* actionBar = new QWidget(this);
    actionBar->setObjectName(QStringLiteral("changesActionBar"));
    auto* actionsRow = new QHBoxLayout(actionBar);
    actionsRow->setContentsMargins(16, 8, 16, 8);
    actionsRow->setSpacing(10);
    actionsRow->addStretch(1);
    actionsRow->addWidget(actionButton(m_actions->reveal(), actionBar));
    actionsRow->addWidget(actionButton(m_actions->moveToTrash(), actionBar));
    column->addWidget(divider(this));
    column->addWidget(actionBar);
    setFocusProxy(m_list);

    ChangesTracker& changes = state.changes();
    connect(&changes, &ChangesTracker::comparisonChanged, this, &ChangesView::comparisonChanged);
    connect(&changes, &ChangesTracker::statusChanged, this, &ChangesView::updateStatus);
    connect(&changes, &ChangesTracker::earlierChanged, this, &ChangesView::updateEarlier);
    connect(&state.history(), &HistoryKeeper::scansChanged, this, &ChangesView::updateEarlier);
    connect(m_model, &ChangesModel::folderChanged, this, &ChangesView::updateFolderBar);
    connect(m_model, &ChangesModel::synced, this, &ChangesView::updateStatus);
    connect(m_model, &ChangesModel::synced, this, &ChangesView::updateFolderBar);

    updateEarlier();
    comparisonChanged(false);
    changes.setWatched(true); // compares now, if it has not yet
}

ChangesView::~ChangesView()
{
    m_state.changes().setWatched(false);
}

void ChangesView::comparisonChanged(bool sameScans)
{
    const auto& comparison = m_state.changes().comparison();
    m_model->setComparison(comparison, sameScans);
    if (comparison)
        m_summary->setSummary(comparison->summary());
    updateEarlier();
    updateStatus();
    updateFolderBar();
}

bool ChangesView::isUpdating() const
{
    return m_state.changes().status() == ChangesTracker::Status::comparing ||
           (m_state.changes().comparison() && !m_state.changes().isUpToDate());
}

QString ChangesView::messageText() const
{
    return m_pages->currentIndex() == messagePage ? m_messageTitle->fullText() : QString();
}

QString ChangesView::folderNameText() const
{
    return m_folderName->fullText();
}

void ChangesView::updateStatus()
{
    const ChangesTracker& changes = m_state.changes();
    const auto& comparison = changes.comparison();
    m_spinner->setVisible(comparison && isUpdating());
    m_summary->setVisible(comparison != nullptr);
    m_folderBar->setVisible(comparison != nullptr);
    if (comparison) {
        if (m_model->rowCount() > 0) {
            m_pages->setCurrentIndex(listPage);
        } else {
            const bool nothing = comparison->children(ScanComparison::root()).empty();
            m_empty->setText(nothing ? L("changes.nothing") : L("changes.nothingHere"));
            m_pages->setCurrentIndex(emptyPage);
        }
        return;
    }
    m_pages->setCurrentIndex(messagePage);
    const bool comparing = changes.status() == ChangesTracker::Status::comparing;
    m_messageSpinner->setVisible(comparing);
    m_chooseFile->setVisible(!comparing);
    if (!changes.earlier()) {
        m_messageTitle->setText(L("changes.none.title"));
        m_messageDetail->setText(L("changes.none.detail"));
    } else if (changes.status() == ChangesTracker::Status::failed) {
        m_messageTitle->setText(L("changes.failed"));
        m_messageDetail->setText(changes.error());
    } else {
        m_messageTitle->setText(L("changes.comparing"));
        m_messageDetail->setText(QString());
    }
    m_messageDetail->setVisible(!m_messageDetail->fullText().isEmpty());
}

void ChangesView::updateEarlier()
{
    const ChangesTracker& changes = m_state.changes();
    const auto& earlier = changes.earlier();
    std::optional<std::int64_t> since = earlier ? earlier->date : std::nullopt;
    if (changes.comparison() && changes.comparison()->summary().oldScanDate)
        since = changes.comparison()->summary().oldScanDate;
    m_header->setSubtitle(since ? L("changes.since %@", FormatUtils::formatDateFull(since))
                                : QString());

    m_updatingChooser = true;
    m_chooser->clear();
    for (const ScanHistory::Scan& scan : changes.earlierScans())
        m_chooser->addItem(FormatUtils::formatDateFull(scan.scanDate) + QStringLiteral(" \u00b7 ") +
                               FormatUtils::formatBytes(scan.totalSize),
                           QByteArray::fromStdString(scan.file));
    if (earlier && m_chooser->findData(QByteArray::fromStdString(earlier->file)) < 0)
        m_chooser->addItem(L("changes.fromFile %@", fileNameOf(earlier->file)),
                           QByteArray::fromStdString(earlier->file));
    if (m_chooser->count() > 0)
        m_chooser->insertSeparator(m_chooser->count());
    m_chooser->addItem(L("changes.chooseFile"));
    m_chooser->setCurrentIndex(
        earlier ? m_chooser->findData(QByteArray::fromStdString(earlier->file)) : -1);
    m_chooser->setVisible(earlier.has_value());
    m_updatingChooser = false;
}

void ChangesView::chooserActivated(int index)
{
    if (m_updatingChooser)
        return;
    const QVariant file = m_chooser->itemData(index);
    if (file.isValid())
        m_state.changes().compareWith(file.toByteArray().toStdString());
    else
        chooseFile();
    updateEarlier(); // what is compared, also when the panel was cancelled
}

void ChangesView::chooseFile()
{
    if (const std::optional<QString> file = m_scanFiles.chooseScanToOpen(this);
        file && !file->isEmpty())
        m_state.changes().compareWith(QFile::encodeName(*file).toStdString());
}

void ChangesView::updateFolderBar()
{
    m_folderName->setText(m_model->folderName());
    m_folderChange->setText(m_model->comparison()
                                ? FormatUtils::formatBytesChange(m_model->folderChange())
                                : QString());
    m_back->setVisible(!m_model->isAtTop());
}

} // namespace plenvo
