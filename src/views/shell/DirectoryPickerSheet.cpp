#include "DirectoryPickerSheet.h"

#include "AppState.h"
#include "FolderPanel.h"
#include "QuickLocationRow.h"
#include "theme/Colors.h"
#include "theme/Divider.h"
#include "theme/Icons.h"
#include "theme/ProminentButton.h"
#include "theme/StyledLabel.h"
#include "theme/SymbolView.h"
#include "theme/TextStyles.h"
#include "utils/Localization.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace plenvo {

namespace {

constexpr int kPadding = 28;
constexpr int kSpacing = 24;
constexpr int kHeaderSpacing = 10;
constexpr int kLocationSpacing = 4;
constexpr int kButtonSpacing = 12;
constexpr qreal kIconSystemSize = 36;
constexpr int kChooseVerticalPadding = 4;
constexpr int kChooseHorizontalPadding = 14;

bool samePath(const QString& a, const QString& b)
{
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

} // namespace

DirectoryPickerSheet::Locations DirectoryPickerSheet::Locations::system()
{
    Locations locations;
    locations.home = QDir::homePath();
    // Without a configured XDG directory Qt may answer with the home folder itself; that is no
    // separate place to offer.
    const auto userDirectory = [&](QStandardPaths::StandardLocation which) {
        const QString path = QStandardPaths::writableLocation(which);
        return path.isEmpty() || samePath(path, locations.home) ? QString() : path;
    };
    locations.desktop = userDirectory(QStandardPaths::DesktopLocation);
    locations.downloads = userDirectory(QStandardPaths::DownloadLocation);
    locations.documents = userDirectory(QStandardPaths::DocumentsLocation);
    locations.applications = QStringLiteral("/Applications");
    return locations;
}

std::vector<DirectoryPickerSheet::QuickLocation>
DirectoryPickerSheet::buildQuickLocations(const Locations& locations)
{
    const QString& home = locations.home;
    const auto inHome = [&](const QString& path) {
        return path.isEmpty() || home.isEmpty() || !samePath(path, home) ? path : QString();
    };
    const std::vector<QuickLocation> candidates{
        {L("picker.home"), QStringLiteral("house.fill"), home},
        {L("picker.desktop"), QStringLiteral("menubar.dock.rectangle"), inHome(locations.desktop)},
        {L("picker.downloads"), QStringLiteral("arrow.down.circle.fill"),
         inHome(locations.downloads)},
        {L("picker.documents"), QStringLiteral("doc.text.fill"), inHome(locations.documents)},
        {QStringLiteral("Library"), QStringLiteral("gearshape.fill"),
         home.isEmpty() ? QString() : QDir(home).filePath(QStringLiteral("Library"))},
        {L("picker.applications"), QStringLiteral("app.fill"), locations.applications},
    };
    std::vector<QuickLocation> kept;
    for (const QuickLocation& candidate : candidates)
        if (!candidate.path.isEmpty() && QFileInfo::exists(candidate.path))
            kept.push_back(candidate);
    return kept;
}

DirectoryPickerSheet::DirectoryPickerSheet(AppState& state, FolderPanel& panel, QWidget* parent)
    : QDialog(parent), m_state(state), m_panel(panel),
      m_icon(new SymbolView(QStringLiteral("folder.badge.gearshape"),
                            Icons::extentFor(TextStyles::systemFont(kIconSystemSize)),
                            ColorToken::blue, this)),
      m_title(new StyledLabel(TextStyle::title3, {.weight = QFont::DemiBold}, std::nullopt, this)),
      m_description(new StyledLabel(TextStyle::callout, {}, ColorToken::secondary, this)),
      m_locationLayout(new QVBoxLayout), m_cancel(new QPushButton(L("picker.cancel"), this)),
      m_choose(new ProminentButton(L("picker.chooseFolder"), kChooseVerticalPadding,
                                   kChooseHorizontalPadding, this))
{
    setWindowTitle(L("picker.title"));
    setFixedWidth(kWidth);

    m_title->setObjectName(QStringLiteral("picker.title"));
    m_description->setObjectName(QStringLiteral("picker.desc"));
    m_title->setText(L("picker.title"));
    m_description->setText(L("picker.desc"));
    for (StyledLabel* label : {m_title, m_description}) {
        label->setAlignment(Qt::AlignCenter);
        label->setTextFormat(Qt::PlainText);
    }
    m_description->setWordWrap(true);

    auto* header = new QVBoxLayout;
    header->setSpacing(kHeaderSpacing);
    header->addWidget(m_icon, 0, Qt::AlignHCenter);
    header->addWidget(m_title);
    header->addWidget(m_description);

    m_locationLayout->setSpacing(kLocationSpacing);

    auto* divider = new Divider(Qt::Horizontal, this);

    // Return presses the choose button wherever the focus is, except on a quick location.
    m_cancel->setAutoDefault(false);
    m_choose->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(kButtonSpacing);
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_choose);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    layout->setSpacing(kSpacing);
    layout->addLayout(header);
    layout->addLayout(m_locationLayout);
    layout->addWidget(divider);
    layout->addLayout(buttons);

    connect(m_cancel, &QPushButton::clicked, this, &DirectoryPickerSheet::cancel);
    connect(m_choose, &QPushButton::clicked, this, &DirectoryPickerSheet::chooseFolder);
    styleChooseButton();
    fitHeight();
}

void DirectoryPickerSheet::setLocations(const Locations& locations)
{
    m_locations = locations;
}

void DirectoryPickerSheet::setVisible(bool visible)
{
    // Folders may have come or gone since the sheet was last open. The rows are made before
    // the sheet shows, so that they show with it and its height fits them.
    if (visible && !isVisible())
        rebuildQuickLocations();
    QDialog::setVisible(visible);
}

void DirectoryPickerSheet::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_choose->setFocus(Qt::OtherFocusReason);
}

void DirectoryPickerSheet::rebuildQuickLocations()
{
    m_quickLocations = buildQuickLocations(m_locations ? *m_locations : Locations::system());

    for (QuickLocationRow* row : m_rows) {
        m_locationLayout->removeWidget(row);
        delete row;
    }
    m_rows.clear();
    for (const QuickLocation& location : m_quickLocations) {
        auto* row =
            new QuickLocationRow(location.displayName, location.iconName, location.path, this);
        connect(row, &QuickLocationRow::activated, this,
                [this, path = location.path] { openLocation(path); });
        m_locationLayout->addWidget(row);
        m_rows.push_back(row);
    }

    // Keep the keyboard order top to bottom: rows, then cancel, then choose.
    QWidget* previous = nullptr;
    for (QuickLocationRow* row : m_rows) {
        if (previous)
            setTabOrder(previous, row);
        previous = row;
    }
    if (previous)
        setTabOrder(previous, m_cancel);
    setTabOrder(m_cancel, m_choose);
    fitHeight();
}

void DirectoryPickerSheet::fitHeight()
{
    QLayout* layout = this->layout();
    layout->invalidate();
    layout->activate();
    const int height = layout->hasHeightForWidth() ? layout->totalHeightForWidth(kWidth)
                                                   : layout->totalSizeHint().height();
    setFixedHeight(height);
}

void DirectoryPickerSheet::openLocation(const QString& path)
{
    // Closing may destroy this sheet; keep what the scan needs.
    AppState& state = m_state;
    const QString location = path;
    state.setShowDirectoryPicker(false);
    state.scanDirectory(location);
}

void DirectoryPickerSheet::chooseFolder()
{
    const std::optional<QString> folder = m_panel.chooseFolder(
        this,
        {.message = QString(), .confirmText = L("picker.scan"), .allowCreatingFolders = false});
    if (!folder || folder->isEmpty())
        return;
    openLocation(*folder);
}

void DirectoryPickerSheet::cancel()
{
    m_state.setShowDirectoryPicker(false);
}

void DirectoryPickerSheet::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    switch (event->type()) {
    case QEvent::PaletteChange:
    case QEvent::FontChange:
        styleChooseButton();
        fitHeight();
        break;
    default:
        break;
    }
}

void DirectoryPickerSheet::styleChooseButton()
{
    // Filled with the accent colour, as tall as the cancel button beside it.
    m_choose->setMinimumHeight(m_cancel->sizeHint().height());
}

} // namespace plenvo
