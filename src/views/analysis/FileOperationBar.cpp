#include "FileOperationBar.h"

#include "AppState.h"
#include "FileActions.h"
#include "FileListModel.h"
#include "FileSelectionModel.h"
#include "theme/Colors.h"
#include "theme/Icons.h"
#include "theme/ProminentButton.h"
#include "theme/StyledLabel.h"
#include "theme/TextStyles.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace plenvo {

namespace {

constexpr int kMargin = 16;
constexpr int kVerticalMargin = 10;
constexpr int kSpacing = 14;
constexpr int kRowSpacing = 8;
// The summary keeps at least this much of its text in one row; less, and the actions move to
// a row of their own.
constexpr int kSummaryRoom = 140;

QToolButton* textButton(const QString& text, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setAutoRaise(true); // borderless
    button->setFont(TextStyles::font(TextStyle::caption));
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

FileOperationBar::FileOperationBar(AppState& state, FileSelectionModel& selection,
                                   FileActions& actions, QWidget* parent)
    : QWidget(parent), m_state(state), m_selection(selection), m_actions(actions)
{
    setObjectName(QStringLiteral("fileOperationBar"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    // One row where the buttons fit beside each other and room for the summary; two rows (the
    // selection and its summary, then the actions) where they do not. See arrange().
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(kMargin, kVerticalMargin, kMargin, kVerticalMargin);
    rows->setSpacing(kRowSpacing);
    rows->setSizeConstraint(QLayout::SetNoConstraint); // minimumSizeHint() is the two rows'
    m_first = new QHBoxLayout;
    m_first->setSpacing(kSpacing);
    m_second = new QHBoxLayout;
    m_second->setSpacing(kSpacing);
    rows->addLayout(m_first);
    rows->addLayout(m_second);

    m_selectAll = textButton(L("cleanup.selectAll"), this);
    m_deselectAll = textButton(L("cleanup.deselectAll"), this);
    m_summary = new StyledLabel(TextStyle::caption, {}, ColorToken::tertiary, this);
    m_summary->setElideMode(Qt::ElideRight);
    m_reveal = new QToolButton(this);
    m_reveal->setDefaultAction(actions.reveal());
    m_reveal->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_reveal->setFont(TextStyles::systemFont(11));
    m_reveal->setIconSize(QSize(14, 14));
    m_trash = new ProminentButton(L("cleanup.moveToTrash"), 5, 12, this);
    m_trash->setTint(ColorToken::red);
    m_trash->setFont(TextStyles::font(TextStyle::callout, {.weight = QFont::Medium}));
    m_trash->setIcon(Icons::icon(QStringLiteral("trash"), QColor(Qt::white)));
    m_readOnlyNote = new StyledLabel(TextStyle::caption, {}, ColorToken::secondary, this);
    m_readOnlyNote->setObjectName(QStringLiteral("readOnlyNote"));
    m_readOnlyNote->setText(L("readOnly.note"));
    m_readOnlyNote->setToolTip(L("readOnly.detail"));
    m_readOnlyNote->setElideMode(Qt::ElideRight);

    // The buttons keep their width; a narrow pane shortens the summary instead.
    for (QWidget* button :
         {static_cast<QWidget*>(m_selectAll), static_cast<QWidget*>(m_deselectAll),
          static_cast<QWidget*>(m_reveal), static_cast<QWidget*>(m_trash)})
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_first->addWidget(m_selectAll);
    m_first->addWidget(m_deselectAll);
    m_first->addWidget(m_readOnlyNote);
    m_first->addStretch(1);
    m_first->addWidget(m_summary);
    m_second->addStretch(1);
    arrange(true);

    connect(m_selectAll, &QToolButton::clicked, this, [this] {
        const FileListModel* model = m_selection.fileModel();
        if (model->rowCount() > 0)
            m_selection.select(QItemSelection(model->index(0), model->index(model->rowCount() - 1)),
                               QItemSelectionModel::ClearAndSelect);
    });
    connect(m_deselectAll, &QToolButton::clicked, this, [this] { m_selection.clearSelection(); });
    connect(m_trash, &QPushButton::clicked, actions.moveToTrash(), &QAction::trigger);
    connect(actions.moveToTrash(), &QAction::changed, this, &FileOperationBar::followTrashAction);

    const FileListModel* model = selection.fileModel();
    connect(model, &QAbstractItemModel::modelReset, this, &FileOperationBar::refresh);
    connect(model, &FileListModel::synced, this, &FileOperationBar::refresh);
    connect(&selection, &QItemSelectionModel::selectionChanged, this, &FileOperationBar::refresh);
    connect(&state, &AppState::scanResultChanged, this, &FileOperationBar::refresh);
    applyColors();
    refresh();
}

void FileOperationBar::followTrashAction()
{
    m_trash->setEnabled(m_actions.moveToTrash()->isEnabled());
    m_trash->setToolTip(m_actions.moveToTrash()->toolTip());
}

void FileOperationBar::refresh()
{
    const bool anySelected = m_selection.hasSelection();
    const FileSelectionModel::Summary selected =
        anySelected ? m_selection.summary() : FileSelectionModel::Summary{};
    m_selectAll->setEnabled(m_selection.fileModel()->rowCount() > 0);
    m_deselectAll->setVisible(anySelected);
    if (anySelected) {
        m_summary->setColorToken(ColorToken::orange);
        m_summary->setText(L("cleanup.selectedCount %lld %@",
                             FormatUtils::countArg(qint64(selected.count)),
                             FormatUtils::formatBytes(selected.size)));
        m_trash->setText(
            L("cleanup.moveToTrashCount %lld", FormatUtils::countArg(qint64(selected.count))));
    } else {
        m_summary->setColorToken(ColorToken::tertiary);
        m_summary->setText(L("fileList.selectHint"));
        m_trash->setText(L("cleanup.moveToTrash"));
    }
    m_readOnlyNote->setVisible(m_state.isReadOnly());
    if (!m_selection.fileModel()->isSyncing())
        m_actions.refresh();
    followTrashAction();
    arrange(width() >= oneRowWidth());
}

int FileOperationBar::widthOf(std::initializer_list<QWidget*> widgets) const
{
    int width = 0;
    for (QWidget* widget : widgets)
        if (!widget->isHidden())
            width += (width ? kSpacing : 0) + widget->sizeHint().width();
    return width;
}

int FileOperationBar::oneRowWidth() const
{
    const int summary = std::min(m_summary->sizeHint().width(), kSummaryRoom);
    return 2 * kMargin + widthOf({m_selectAll, m_deselectAll, m_readOnlyNote}) + kSpacing +
           summary + kSpacing + widthOf({m_reveal, m_trash});
}

void FileOperationBar::arrange(bool oneRow)
{
    if (m_arranged && oneRow == m_oneRow)
        return;
    m_arranged = true;
    m_oneRow = oneRow;
    for (QWidget* button : {static_cast<QWidget*>(m_reveal), static_cast<QWidget*>(m_trash)}) {
        m_first->removeWidget(button);
        m_second->removeWidget(button);
        (oneRow ? m_first : m_second)->addWidget(button);
    }
    updateGeometry();
}

QSize FileOperationBar::minimumSizeHint() const
{
    const int selection = widthOf({m_selectAll, m_deselectAll});
    const int actions = widthOf({m_reveal, m_trash});
    const QSize hint = sizeHint();
    return {2 * kMargin + std::max(selection, actions), hint.height()};
}

void FileOperationBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    arrange(width() >= oneRowWidth());
}

void FileOperationBar::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange ||
        (event->type() == QEvent::PaletteChange && !m_applying))
        applyColors();
}

void FileOperationBar::applyColors()
{
    m_applying = true;
    const QPalette base = palette();
    auto tint = [&](QToolButton* button, ColorToken token) {
        QPalette p = button->palette();
        p.setColor(QPalette::ButtonText, Colors::textColor(token, base));
        p.setColor(QPalette::Disabled, QPalette::ButtonText, Colors::color(token, base, 0.4));
        button->setPalette(p);
    };
    tint(m_selectAll, ColorToken::blue);
    tint(m_deselectAll, ColorToken::secondary);
    m_applying = false;
}

} // namespace plenvo
