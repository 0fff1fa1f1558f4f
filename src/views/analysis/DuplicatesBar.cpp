#include "DuplicatesBar.h"

#include "AppState.h"
#include "DuplicateActions.h"
#include "DuplicateGroupsModel.h"
#include "theme/Icons.h"
#include "theme/ProminentButton.h"
#include "theme/StyledLabel.h"
#include "theme/TextStyles.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>

namespace plenvo {

DuplicatesBar::DuplicatesBar(AppState& state, DuplicateGroupsModel& model,
                             DuplicateActions& actions, QWidget* parent)
    : QWidget(parent), m_state(state), m_model(model), m_actions(actions)
{
    setObjectName(QStringLiteral("duplicatesBar"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(16, 10, 16, 10);
    row->setSpacing(14);

    m_select = new QPushButton(L("duplicates.select"), this);
    m_select->setObjectName(QStringLiteral("selectButton"));
    m_select->setFont(TextStyles::systemFont(11));
    auto* menu = new QMenu(m_select);
    menu->addAction(actions.keepNewest());
    menu->addAction(actions.keepOldest());
    menu->addAction(actions.keepInFolder());
    menu->addSeparator();
    menu->addAction(actions.unmarkAll());
    m_select->setMenu(menu);

    m_summary = new StyledLabel(TextStyle::caption, {}, ColorToken::tertiary, this);
    m_summary->setObjectName(QStringLiteral("markedSummary"));
    m_summary->setElideMode(Qt::ElideRight);
    m_trash = new ProminentButton(L("cleanup.moveToTrash"), 5, 12, this);
    m_trash->setObjectName(QStringLiteral("trashButton"));
    m_trash->setTint(ColorToken::red);
    m_trash->setFont(TextStyles::font(TextStyle::callout, {.weight = QFont::Medium}));
    m_trash->setIcon(Icons::icon(QStringLiteral("trash"), QColor(Qt::white)));

    // The buttons keep their width; a narrow pane shortens the summary instead.
    for (QWidget* button : {static_cast<QWidget*>(m_select), static_cast<QWidget*>(m_trash)})
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    row->addWidget(m_select);
    row->addWidget(m_summary, 1);
    row->addWidget(m_trash);

    connect(m_trash, &QPushButton::clicked, actions.moveToTrash(), &QAction::trigger);
    connect(actions.moveToTrash(), &QAction::changed, this, &DuplicatesBar::refresh);
    connect(&state.duplicateSearch(), &DuplicateSearch::policyChanged, this, &DuplicatesBar::refresh);
    connect(&model, &DuplicateGroupsModel::marksChanged, this, &DuplicatesBar::refresh);
    connect(&model, &DuplicateGroupsModel::synced, this, &DuplicatesBar::refresh);
    refresh();
}

void DuplicatesBar::refresh()
{
    const std::int64_t marked = m_model.markedCount();
    if (marked > 0) {
        QString text = L("duplicates.markedCount %lld %@", qint64(marked),
                         FormatUtils::formatBytes(m_model.markedBytes()));
        if (const std::int64_t whole = m_model.wholeGroupsMarked(); whole > 0)
            text += QStringLiteral(" \u00b7 ") + L("duplicates.wholeGroups %lld", qint64(whole));
        m_summary->setColorToken(ColorToken::orange);
        m_summary->setText(text);
    } else {
        m_summary->setColorToken(ColorToken::tertiary);
        m_summary->setText(L("duplicates.markHint"));
    }
    m_summary->setToolTip(m_summary->fullText());
    const QAction* trash = m_actions.moveToTrash();
    if (m_state.duplicateSearch().isChecking())
        m_trash->setText(L("duplicates.checking"));
    else if (marked > 0)
        m_trash->setText(L("cleanup.moveToTrashCount %lld", qint64(marked)));
    else
        m_trash->setText(L("cleanup.moveToTrash"));
    m_trash->setEnabled(trash->isEnabled());
    m_trash->setToolTip(trash->toolTip());
}

} // namespace plenvo
