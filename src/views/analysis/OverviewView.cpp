#include "OverviewView.h"

#include "AppState.h"
#include "models/ScanResult.h"
#include "theme/Divider.h"
#include "theme/Icons.h"
#include "theme/ProportionBar.h"
#include "theme/RoundedPanel.h"
#include "theme/StyledLabel.h"
#include "theme/SymbolView.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace plenvo {

namespace {

constexpr int kPagePadding = 24;
constexpr int kSectionSpacing = 20;
constexpr int kPanelPadding = 16;
constexpr int kPanelSpacing = 12;
constexpr int kRowSpacing = 10;

// A rounded gray panel with a headline title; its rows go into the returned layout.
RoundedPanel* makePanel(const QString& objectName, const QString& title, QVBoxLayout*& rows)
{
    auto* panel = new RoundedPanel;
    panel->setObjectName(objectName);
    auto* stack = new QVBoxLayout(panel);
    stack->setContentsMargins(kPanelPadding, kPanelPadding, kPanelPadding, kPanelPadding);
    stack->setSpacing(kPanelSpacing);
    auto* heading = new StyledLabel(TextStyle::headline, {}, std::nullopt, panel);
    heading->setObjectName(QStringLiteral("panelTitle"));
    heading->setText(title);
    stack->addWidget(heading);
    rows = new QVBoxLayout;
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(kPanelSpacing);
    stack->addLayout(rows);
    return panel;
}

void clearRows(QVBoxLayout* rows)
{
    while (QLayoutItem* item = rows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
}

// The display location of the folder that holds `file`.
QString containingFolder(const FileNode& file)
{
    if (const FileNode* parent = file.parent())
        return parent->path();
    const QString path = file.path(); // a node cut from its tree still knows where it was
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash > 0 ? path.left(slash) : QStringLiteral("/");
}

// What an empty panel says instead of showing nothing.
QWidget* emptyNote()
{
    auto* note = new StyledLabel(TextStyle::callout, {}, ColorToken::secondary);
    note->setObjectName(QStringLiteral("emptyNote"));
    note->setWordWrap(true);
    note->setText(L("overview.noFiles"));
    return note;
}

int captionSymbolExtent()
{
    return Icons::extentFor(TextStyles::font(TextStyle::caption));
}

} // namespace

OverviewView::OverviewView(AppState& state, QWidget* parent)
    : QScrollArea(parent), m_state(state), m_result(state.scanResult())
{
    setObjectName(QStringLiteral("overview"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("overviewPage"));
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(kPagePadding, kPagePadding, kPagePadding, kPagePadding);
    column->setSpacing(kSectionSpacing);
    column->addWidget(headerSection());
    column->addWidget(statsCards());
    column->addWidget(categoryChart());
    column->addWidget(topFilesSection());
    column->addStretch(1);
    setWidget(page);

    connect(&state, &AppState::contentRevisionChanged, this, &OverviewView::refresh);
    refresh();
}

OverviewView::~OverviewView() = default;

double OverviewView::percent(std::int64_t size, std::int64_t total)
{
    return total < 1 ? 0.0 : double(size) / double(total) * 100.0;
}

QWidget* OverviewView::headerSection()
{
    auto* header = new QWidget;
    header->setObjectName(QStringLiteral("overviewHeader"));
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    auto* titles = new QVBoxLayout;
    titles->setSpacing(4);
    m_name = new StyledLabel(TextStyle::title2, {.weight = QFont::DemiBold}, std::nullopt, header);
    m_name->setObjectName(QStringLiteral("overviewName"));
    m_name->setElideMode(Qt::ElideRight);
    m_path = new StyledLabel(TextStyle::caption, {}, ColorToken::secondary, header);
    m_path->setObjectName(QStringLiteral("overviewPath"));
    m_path->setElideMode(Qt::ElideMiddle);
    // Said of a stopped scan: its numbers count what was read.
    m_stoppedNote = new StyledLabel(TextStyle::caption, {}, ColorToken::orange, header);
    m_stoppedNote->setObjectName(QStringLiteral("overviewStoppedNote"));
    m_stoppedNote->setWordWrap(true);
    m_stoppedNote->setText(L("overview.stoppedNote"));
    titles->addWidget(m_name);
    titles->addWidget(m_path);
    titles->addWidget(m_stoppedNote);
    row->addLayout(titles, 1);
    row->setAlignment(titles, Qt::AlignTop);
    m_date = new StyledLabel(TextStyle::caption2, {}, ColorToken::tertiary, header);
    m_date->setObjectName(QStringLiteral("overviewDate"));
    row->addWidget(m_date, 0, Qt::AlignTop);
    return header;
}

QWidget* OverviewView::statsCards()
{
    auto* cards = new QWidget;
    cards->setObjectName(QStringLiteral("overviewCards"));
    auto* row = new QHBoxLayout(cards);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    const struct {
        const char* title;
        const char* icon;
        ColorToken color;
    } kinds[] = {
        {"overview.totalSize", "internaldrive.fill", ColorToken::blue},
        {"overview.files", "doc.fill", ColorToken::green},
        {"overview.folders", "folder.fill", ColorToken::orange},
        {"overview.types", "square.grid.2x2.fill", ColorToken::purple},
    };
    for (std::size_t i = 0; i < m_cardValues.size(); ++i) {
        RoundedPanel* card = statCard(L(kinds[i].title), QString(),
                                      QString::fromLatin1(kinds[i].icon), kinds[i].color);
        m_cardValues[i] = card->findChild<StyledLabel*>(QStringLiteral("cardValue"));
        row->addWidget(card, 1); // equal stretch: equal shares of the row
    }
    // Under the total, what du counts beside the files: the folders' own blocks.
    auto* section = new QWidget;
    auto* stack = new QVBoxLayout(section);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(6);
    stack->addWidget(cards);
    m_foldersNote = new StyledLabel(TextStyle::caption, {}, ColorToken::secondary, section);
    m_foldersNote->setObjectName(QStringLiteral("overviewFoldersNote"));
    m_foldersNote->setWordWrap(true);
    stack->addWidget(m_foldersNote);
    return section;
}

RoundedPanel* OverviewView::statCard(const QString& title, const QString& value,
                                     const QString& icon, ColorToken color)
{
    auto* card = new RoundedPanel;
    card->setObjectName(QStringLiteral("statCard"));
    auto* stack = new QVBoxLayout(card);
    stack->setContentsMargins(0, 14, 0, 14);
    stack->setSpacing(8);
    auto* symbol =
        new SymbolView(icon, Icons::extentFor(TextStyles::font(TextStyle::title3)), color, card);
    stack->addWidget(symbol, 0, Qt::AlignHCenter);
    auto* number = new StyledLabel(
        TextStyle::title3, {.weight = QFont::Bold, .rounded = true, .monospacedDigits = true},
        std::nullopt, card);
    number->setObjectName(QStringLiteral("cardValue"));
    number->setAlignment(Qt::AlignCenter);
    number->setText(value);
    stack->addWidget(number);
    auto* caption = new StyledLabel(TextStyle::caption, {}, ColorToken::secondary, card);
    caption->setObjectName(QStringLiteral("cardTitle"));
    caption->setAlignment(Qt::AlignCenter);
    caption->setText(title);
    stack->addWidget(caption);
    return card;
}

QWidget* OverviewView::categoryChart()
{
    return makePanel(QStringLiteral("categoryPanel"), L("overview.spaceUsage"), m_categoryRows);
}

QWidget* OverviewView::topFilesSection()
{
    return makePanel(QStringLiteral("topFilesPanel"), L("overview.largestFiles"), m_fileRows);
}

QWidget* OverviewView::categoryRow(const CategoryStat& stat, std::int64_t totalSize)
{
    const FileCategory category = stat.category;
    auto* row = new QWidget;
    row->setObjectName(QStringLiteral("categoryRow"));
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(kRowSpacing);

    const int extent = captionSymbolExtent();
    auto* icon =
        new SymbolView(QString::fromLatin1(category.icon()), extent, category.color(), row);
    icon->setFixedWidth(std::max(16, extent));
    line->addWidget(icon);

    auto* name = new StyledLabel(TextStyle::callout, {}, std::nullopt, row);
    name->setObjectName(QStringLiteral("categoryName"));
    name->setElideMode(Qt::ElideRight);
    name->setFixedWidth(90);
    name->setText(category.localizedName());
    line->addWidget(name);

    const double share = percent(stat.totalSize, totalSize);
    auto* bar = new ProportionBar(14, 3, category.color(), kMinimumBarFill, row);
    bar->setObjectName(QStringLiteral("categoryBar"));
    bar->setFraction(share / 100.0);
    line->addWidget(bar, 1);

    auto* size =
        new StyledLabel(TextStyle::caption, {.monospacedDigits = true}, ColorToken::secondary, row);
    size->setObjectName(QStringLiteral("categorySize"));
    size->setFixedWidth(60);
    size->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    size->setText(FormatUtils::formatBytesCompact(stat.totalSize));
    line->addWidget(size);

    auto* shareText =
        new StyledLabel(TextStyle::caption2, {.monospacedDigits = true}, ColorToken::tertiary, row);
    shareText->setObjectName(QStringLiteral("categoryPercent"));
    shareText->setFixedWidth(42);
    shareText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    shareText->setText(FormatUtils::formatPercent(share));
    line->addWidget(shareText);
    return row;
}

QWidget* OverviewView::topFileRow(const FileNode& file, int index, bool divider)
{
    const FileCategory category = FileCategory::of(file);
    auto* entry = new QWidget;
    entry->setObjectName(QStringLiteral("fileRow"));
    auto* stack = new QVBoxLayout(entry);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(kPanelSpacing); // the divider sits halfway between two rows

    auto* line = new QHBoxLayout;
    line->setContentsMargins(0, 4, 0, 4);
    line->setSpacing(kRowSpacing);
    auto* rank =
        new StyledLabel(TextStyle::caption2, {.weight = QFont::Bold, .monospacedDigits = true},
                        ColorToken::tertiary, entry);
    rank->setObjectName(QStringLiteral("fileRank"));
    rank->setFixedWidth(18);
    rank->setAlignment(Qt::AlignCenter);
    rank->setText(QString::number(index + 1));
    line->addWidget(rank);

    auto* icon = new SymbolView(QString::fromLatin1(category.icon()), captionSymbolExtent(),
                                category.color(), entry);
    icon->setObjectName(QStringLiteral("fileIcon"));
    line->addWidget(icon);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(1);
    auto* name = new StyledLabel(TextStyle::callout, {}, std::nullopt, entry);
    name->setObjectName(QStringLiteral("fileName"));
    name->setElideMode(Qt::ElideRight);
    name->setText(file.name());
    texts->addWidget(name);
    auto* folder = new StyledLabel(TextStyle::caption2, {}, ColorToken::tertiary, entry);
    folder->setObjectName(QStringLiteral("fileFolder"));
    folder->setElideMode(Qt::ElideLeft);
    folder->setText(containingFolder(file));
    texts->addWidget(folder);
    line->addLayout(texts, 1);

    auto* size =
        new StyledLabel(TextStyle::callout, {.weight = QFont::DemiBold, .monospacedDigits = true},
                        std::nullopt, entry);
    size->setObjectName(QStringLiteral("fileSize"));
    size->setText(FormatUtils::formatBytes(file.fileSize()));
    line->addWidget(size);
    stack->addLayout(line);

    if (divider) {
        auto* rule = new Divider(Qt::Horizontal, entry);
        rule->setObjectName(QStringLiteral("fileDivider"));
        auto* inset = new QHBoxLayout;
        inset->setContentsMargins(kDividerInset, 0, 0, 0);
        inset->addWidget(rule);
        stack->addLayout(inset);
    }
    return entry;
}

void OverviewView::refresh()
{
    if (const auto& current = m_state.scanResult())
        m_result = current;
    if (!m_result)
        return;
    const ScanResult& result = *m_result;
    m_name->setText(result.rootName());
    m_path->setText(result.isOpenedFromFile() ? L("overview.openedFrom %@ %@",
                                                  result.rootPathDisplay(), result.openedFromName())
                                              : result.rootPathDisplay());
    m_date->setText(FormatUtils::formatDateFull(result.scanDate()));
    // A stopped scan counts what it read, at least.
    const bool atLeast = result.rootNode()->isIncomplete();
    m_stoppedNote->setVisible(result.wasStopped());
    m_cardValues[0]->setText(FormatUtils::formatBytes(result.totalSize(), atLeast));
    m_foldersNote->setText(L("overview.foldersOwnSize %@",
                             FormatUtils::formatBytes(result.foldersOwnSize(), atLeast)));
    m_foldersNote->setVisible(result.foldersOwnSize() > 0);
    m_cardValues[1]->setText(FormatUtils::formatCount(result.totalFiles(), atLeast));
    m_cardValues[2]->setText(FormatUtils::formatCount(result.totalDirectories(), atLeast));
    m_cardValues[3]->setText(
        L("overview.typesCount %lld", FormatUtils::countArg(qint64(result.categoryStat().size()))));

    clearRows(m_categoryRows);
    for (const CategoryStat& stat : result.categoryStat())
        m_categoryRows->addWidget(categoryRow(stat, result.totalSize()));
    if (result.categoryStat().empty())
        m_categoryRows->addWidget(emptyNote());

    clearRows(m_fileRows);
    const auto& top = result.topFiles();
    const int shown = int(std::min<std::size_t>(top.size(), kTopFileRows));
    for (int i = 0; i < shown; ++i)
        m_fileRows->addWidget(topFileRow(*top[std::size_t(i)], i, i + 1 < shown));
    if (shown == 0)
        m_fileRows->addWidget(emptyNote());
}

} // namespace plenvo
