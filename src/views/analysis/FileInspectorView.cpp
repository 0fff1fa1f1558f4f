#include "FileInspectorView.h"

#include "AppState.h"
#include "ClampedTextView.h"
#include "models/FileCategory.h"
#include "platform/FileManager.h"
#include "theme/Colors.h"
#include "theme/Divider.h"
#include "theme/Icons.h"
#include "theme/ProportionBar.h"
#include "theme/RoundedPanel.h"
#include "theme/StyledLabel.h"
#include "theme/SymbolView.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace plenvo {

namespace {

constexpr int kPadding = 20;
constexpr int kDateLabelWidth = 32;
constexpr int kNameLines = 3;
constexpr int kPathLines = 4;

QVBoxLayout* column(QWidget* owner, int spacing, int margin = 0)
{
    auto* layout = new QVBoxLayout(owner);
    layout->setSpacing(spacing);
    layout->setContentsMargins(margin, margin, margin, margin);
    return layout;
}

// One of the three counts of a folder: icon, number, label, centred.
StyledLabel* addMiniStat(QHBoxLayout* row, const char* icon, ColorToken color, const char* labelKey,
                         const QString& objectName)
{
    auto* tile = new QWidget;
    // Ignored: the row gives the three tiles equal widths whatever their texts.
    tile->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* stack = column(tile, 3);
    stack->addWidget(new SymbolView(QString::fromLatin1(icon),
                                    Icons::extentFor(TextStyles::font(TextStyle::caption)), color,
                                    tile),
                     0, Qt::AlignHCenter);
    auto* value = new StyledLabel(
        TextStyle::callout, {.weight = QFont::Bold, .monospacedDigits = true}, std::nullopt, tile);
    value->setObjectName(objectName);
    value->setAlignment(Qt::AlignHCenter);
    stack->addWidget(value);
    auto* label = new StyledLabel(TextStyle::caption2, {}, ColorToken::secondary, tile);
    label->setText(L(labelKey));
    label->setAlignment(Qt::AlignHCenter);
    stack->addWidget(label);
    row->addWidget(tile, 1);
    return value;
}

} // namespace

FileInspectorView::FileInspectorView(AppState& state, FileManager& fileManager, QWidget* parent)
    : QScrollArea(parent), m_state(state), m_fileManager(fileManager), m_node(state.selectedNode())
{
    setObjectName(QStringLiteral("fileInspector"));
    setFixedWidth(kWidth);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(true);
    setBackgroundRole(QPalette::Base);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);

    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("inspectorContent"));
    auto* stack = column(content, 0);
    setWidget(content);
    if (!m_node)
        return;

    stack->addWidget(buildHeader(content));
    stack->addWidget(new Divider(Qt::Horizontal, content));

    auto* sections = new QWidget(content);
    auto* sectionStack = column(sections, 16, kPadding);
    QVBoxLayout* block = nullptr;
    sectionStack->addWidget(section("inspector.size", sections, block));
    buildSize(block);
    sectionStack->addWidget(section("inspector.dates", sections, block));
    buildDates(block);
    if (m_node->isDirectory()) {
        QWidget* contents = section("inspector.contents", sections, block);
        contents->setObjectName(QStringLiteral("contentsSection"));
        sectionStack->addWidget(contents);
        buildContents(block);
    }
    sectionStack->addWidget(section("inspector.path", sections, block));
    auto* path =
        new ClampedTextView(TextStyle::caption2, {.monospaced = true}, ColorToken::secondary,
                            kPathLines, QTextOption::WrapAnywhere, Qt::AlignLeft, sections);
    path->setObjectName(QStringLiteral("pathText"));
    path->setSelectable(true);
    path->setFullText(m_node->path());
    block->addWidget(path);
    sectionStack->addWidget(buildActions(sections));
    stack->addWidget(sections);
    stack->addStretch(1);

    applyButtonColors();
    refresh();
    connect(&state, &AppState::contentRevisionChanged, this, &FileInspectorView::refresh);
}

QWidget* FileInspectorView::buildHeader(QWidget* parent)
{
    const FileNode& node = *m_node;
    const FileCategory category = FileCategory::of(node);
    auto* header = new QWidget(parent);
    auto* stack = column(header, 10, kPadding);
    auto* icon = new SymbolView(node.isDirectory() ? QStringLiteral("folder.fill")
                                                   : QString::fromLatin1(category.icon()),
                                Icons::extentFor(TextStyles::systemFont(32)),
                                node.isDirectory() ? ColorToken::blue : category.color(), header);
    icon->setObjectName(QStringLiteral("inspectorIcon"));
    stack->addWidget(icon, 0, Qt::AlignHCenter);

    auto* name = new ClampedTextView(TextStyle::callout, {.weight = QFont::DemiBold}, std::nullopt,
                                     kNameLines, QTextOption::WrapAtWordBoundaryOrAnywhere,
                                     Qt::AlignHCenter, header);
    name->setObjectName(QStringLiteral("nameText"));
    name->setFullText(node.name());
    stack->addWidget(name);

    if (!node.isDirectory()) {
        // A capsule: a radius beyond half the height rounds the ends fully.
        auto* badge = new RoundedPanel(header, 1000, category.color(), 0.10);
        badge->setObjectName(QStringLiteral("categoryBadge"));
        auto* row = new QHBoxLayout(badge);
        row->setContentsMargins(8, 3, 8, 3);
        auto* label = new StyledLabel(TextStyle::caption2, {.weight = QFont::Medium},
                                      category.color(), badge);
        label->setObjectName(QStringLiteral("categoryText"));
        label->setText(category.localizedName());
        row->addWidget(label);
        stack->addWidget(badge, 0, Qt::AlignHCenter);
    }
    return header;
}

QWidget* FileInspectorView::section(const char* titleKey, QWidget* parent, QVBoxLayout*& block)
{
    auto* section = new QWidget(parent);
    block = column(section, 6);
    auto* title = new StyledLabel(TextStyle::caption2, {.weight = QFont::DemiBold},
                                  ColorToken::tertiary, section);
    title->setText(L(titleKey).toUpper());
    block->addWidget(title);
    return section;
}

void FileInspectorView::buildSize(QVBoxLayout* block)
{
    QWidget* owner = block->parentWidget();
    m_size = new StyledLabel(TextStyle::title3,
                             {.weight = QFont::Bold, .rounded = true, .monospacedDigits = true},
                             std::nullopt, owner);
    m_size->setObjectName(QStringLiteral("sizeText"));
    block->addWidget(m_size);
    const ColorToken fill =
        m_node->isDirectory() ? ColorToken::blue : FileCategory::of(*m_node).color();
    m_shareBar = new ProportionBar(6, 3, fill, 0, owner);
    m_shareBar->setObjectName(QStringLiteral("shareBar"));
    block->addWidget(m_shareBar);
    m_shareText = new StyledLabel(TextStyle::caption2, {}, ColorToken::secondary, owner);
    m_shareText->setObjectName(QStringLiteral("shareText"));
    block->addWidget(m_shareText);
}

void FileInspectorView::buildDates(QVBoxLayout* block)
{
    QWidget* owner = block->parentWidget();
    auto* rows = new QVBoxLayout;
    rows->setSpacing(4);
    block->addLayout(rows);
    const QString labels[] = {L("inspector.modified"), L("inspector.created")};
    const FileNode::Timestamp dates[] = {m_node->modificationDate(), m_node->creationDate()};
    const char* names[] = {"modifiedText", "createdText"};
    // The labels share one column, wide enough for the longer of them.
    int labelWidth = kDateLabelWidth;
    for (int i = 0; i < 2; ++i) {
        auto* row = new QHBoxLayout;
        auto* label = new StyledLabel(TextStyle::caption, {}, ColorToken::secondary, owner);
        label->setObjectName(QStringLiteral("dateLabel"));
        label->setText(labels[i]);
        labelWidth = std::max(labelWidth, label->fontMetrics().horizontalAdvance(labels[i]) + 1);
        row->addWidget(label);
        auto* value = new StyledLabel(TextStyle::caption, {}, std::nullopt, owner);
        value->setObjectName(QString::fromLatin1(names[i]));
        value->setText(FormatUtils::formatDateFull(dates[i]));
        row->addWidget(value, 1);
        rows->addLayout(row);
    }
    for (auto* label : owner->findChildren<StyledLabel*>(QStringLiteral("dateLabel")))
        label->setFixedWidth(labelWidth);
}

void FileInspectorView::buildContents(QVBoxLayout* block)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    block->addLayout(row);
    m_folders = addMiniStat(row, "folder.fill", ColorToken::blue, "inspector.folders",
                            QStringLiteral("folderCount"));
    m_files = addMiniStat(row, "doc.fill", ColorToken::orange, "inspector.files",
                          QStringLiteral("fileCount"));
    m_totalFiles = addMiniStat(row, "square.stack.fill", ColorToken::purple, "inspector.totalFiles",
                               QStringLiteral("totalFileCount"));
}

QWidget* FileInspectorView::buildActions(QWidget* parent)
{
    auto* actions = new QWidget(parent);
    auto* stack = column(actions, 6);
    const QFont font = TextStyles::font(TextStyle::caption, {.weight = QFont::Medium});
    const int iconExtent = Icons::extentFor(font);
    auto makeButton = [&](const char* textKey, const QString& objectName) {
        auto* button = new QPushButton(L(textKey), actions);
        button->setObjectName(objectName);
        button->setFont(font);
        button->setIconSize(QSize(iconExtent, iconExtent));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        // The label padded 6 above and below inside the button's frame.
        const int frame =
            button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        button->setMinimumHeight(
            std::max(button->sizeHint().height(), QFontMetrics(font).height() + 2 * (6 + frame)));
        stack->addWidget(button);
        return button;
    };
    m_reveal = makeButton("action.showInFinder", QStringLiteral("revealButton"));
    connect(m_reveal, &QPushButton::clicked, this,
            [this] { m_fileManager.revealItems({m_node->pathBytes()}); });
    if (!m_node->isDirectory()) {
        m_trash = makeButton("action.moveToTrash", QStringLiteral("trashButton"));
        m_trash->setIcon(Icons::icon(QStringLiteral("trash.fill"), ColorToken::red));
        connect(m_trash, &QPushButton::clicked, this, [this] {
            // The state may replace this inspector while it moves the node: keep the node.
            const NodeRef node = m_node;
            m_state.editor().moveToTrash({node});
        });
        connect(&m_state.editor(), &ResultEditor::policyChanged, this,
                &FileInspectorView::followPolicy);
    }
    if (m_state.isReadOnly()) {
        // Nothing here may be done to files on this machine: say why under the buttons.
        m_reveal->setEnabled(false);
        m_reveal->setToolTip(L("readOnly.detail"));
        auto* note = new StyledLabel(TextStyle::caption2, {}, ColorToken::secondary, actions);
        note->setObjectName(QStringLiteral("readOnlyNote"));
        note->setWordWrap(true);
        note->setText(L("readOnly.detail"));
        stack->addWidget(note);
    }
    followPolicy();
    return actions;
}

void FileInspectorView::followPolicy()
{
    if (!m_trash)
        return;
    m_trash->setEnabled(m_state.editor().canMoveToTrash());
    m_trash->setToolTip(m_state.editor().refusalReason());
}

void FileInspectorView::applyButtonColors()
{
    if (!m_reveal)
        return;
    m_reveal->setIcon(Icons::icon(QStringLiteral("arrow.right.circle.fill"),
                                  palette().color(QPalette::ButtonText)));
    if (m_trash) {
        QPalette p = m_trash->palette();
        p.setColor(QPalette::ButtonText, Colors::textColor(ColorToken::red, palette()));
        p.setColor(QPalette::Disabled, QPalette::ButtonText,
                   Colors::color(ColorToken::red, palette(), 0.4));
        m_trash->setPalette(p);
    }
}

void FileInspectorView::changeEvent(QEvent* event)
{
    QScrollArea::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        applyButtonColors();
}

void FileInspectorView::refresh()
{
    const FileNode& node = *m_node;
    // A folder a stopped scan did not read to the end counts what was read, at least.
    const bool atLeast = node.isIncomplete();
    m_size->setText(FormatUtils::formatBytes(node.cachedSize(), atLeast));
    // The share of a folder that still holds the node and is not empty.
    const FileNode* parent = node.parent();
    const bool shared = parent && parent->cachedSize() >= 1;
    m_shareBar->setVisible(shared);
    m_shareText->setVisible(shared);
    if (shared) {
        const double fraction = double(node.cachedSize()) / double(parent->cachedSize());
        m_shareBar->setFraction(fraction);
        m_shareText->setText(FormatUtils::formatPercent(fraction * 100));
    }
    if (node.isDirectory()) {
        std::int64_t folders = 0;
        for (const FileNode* child : node.children())
            folders += child->isDirectory() ? 1 : 0;
        m_folders->setText(FormatUtils::formatCount(folders, atLeast));
        m_files->setText(
            FormatUtils::formatCount(std::int64_t(node.childCount()) - folders, atLeast));
        m_totalFiles->setText(FormatUtils::formatCount(node.cachedFileCount(), atLeast));
    }
}

} // namespace plenvo
