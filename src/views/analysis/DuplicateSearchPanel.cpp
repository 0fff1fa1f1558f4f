#include "DuplicateSearchPanel.h"

#include "shell/ActivitySpinner.h"
#include "theme/ProminentButton.h"
#include "theme/StyledLabel.h"
#include "theme/SymbolView.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace plenvo {

namespace {

constexpr int kIconExtent = 40;
constexpr int kSpinnerDiameter = 32;
constexpr int kTextWidth = 420;
constexpr int kBarWidth = 280;
constexpr int kSideMargin = 24;

} // namespace

DuplicateSearchPanel::DuplicateSearchPanel(QWidget* parent)
    : QWidget(parent),
      m_icon(new SymbolView(QStringLiteral("doc.on.doc.fill"), kIconExtent, ColorToken::indigo,
                            this)),
      m_spinner(new ActivitySpinner(kSpinnerDiameter, this)),
      m_title(new StyledLabel(TextStyle::title3, {.weight = QFont::Medium}, std::nullopt, this)),
      m_detail(new StyledLabel(TextStyle::callout, {.monospacedDigits = true},
                               ColorToken::secondary, this)),
      m_bar(new QProgressBar(this)),
      m_note(new StyledLabel(TextStyle::caption, {}, ColorToken::secondary, this)),
      m_search(new ProminentButton(L("duplicates.search"), 6, 16, this)),
      m_stop(new QPushButton(L("scanning.stop"), this))
{
    setObjectName(QStringLiteral("duplicateSearchPanel"));
    m_title->setObjectName(QStringLiteral("duplicates.panelTitle"));
    m_detail->setObjectName(QStringLiteral("duplicates.panelDetail"));
    m_note->setObjectName(QStringLiteral("duplicates.panelNote"));
    m_search->setObjectName(QStringLiteral("duplicates.search"));
    m_stop->setObjectName(QStringLiteral("duplicates.stop"));
    for (StyledLabel* label : {m_title, m_detail, m_note}) {
        label->setAlignment(Qt::AlignCenter);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
    }
    m_bar->setFixedWidth(kBarWidth);
    m_bar->setTextVisible(false);
    m_search->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(m_search, &QPushButton::clicked, this, &DuplicateSearchPanel::searchRequested);
    connect(m_stop, &QPushButton::clicked, this, &DuplicateSearchPanel::stopRequested);

    // Equal stretch above and below keeps the group in the vertical middle.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kSideMargin, kSideMargin, kSideMargin, kSideMargin);
    layout->setSpacing(12);
    layout->addStretch(1);
    layout->addWidget(m_icon, 0, Qt::AlignHCenter);
    layout->addWidget(m_spinner, 0, Qt::AlignHCenter);
    // The texts wrap in a column at most kTextWidth wide, in the middle: laid out at their
    // full width (no alignment), so that their height follows their lines.
    auto* texts = new QWidget(this);
    texts->setMaximumWidth(kTextWidth);
    auto* textColumn = new QVBoxLayout(texts);
    textColumn->setContentsMargins(0, 0, 0, 0);
    textColumn->setSpacing(8);
    textColumn->addWidget(m_title);
    textColumn->addWidget(m_detail);
    textColumn->addWidget(m_bar, 0, Qt::AlignHCenter);
    textColumn->addWidget(m_note);
    auto* middle = new QHBoxLayout;
    middle->addStretch(1);
    middle->addWidget(texts, 100);
    middle->addStretch(1);
    layout->addLayout(middle);
    layout->addSpacing(4);
    layout->addWidget(m_search, 0, Qt::AlignHCenter);
    layout->addWidget(m_stop, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    setMode(Mode::invite);
}

QPushButton* DuplicateSearchPanel::searchButton() const
{
    return m_search;
}

void DuplicateSearchPanel::setMode(Mode mode, const DuplicateFinder::Progress& progress,
                                std::int64_t unreadable)
{
    using Kind = DuplicateFinder::Progress::Kind;
    m_mode = mode;
    const bool searching = mode == Mode::searching;
    m_icon->setVisible(!searching);
    m_spinner->setVisible(searching);
    m_stop->setVisible(searching);
    m_search->setVisible(!searching);
    m_search->setEnabled(mode != Mode::readOnly);
    m_search->setText(mode == Mode::noneFound ? L("duplicates.searchAgain")
                                              : L("duplicates.search"));
    const bool reading = searching && progress.kind() == Kind::hashing;
    m_bar->setVisible(reading);
    QString note;
    switch (mode) {
    case Mode::invite:
    case Mode::readOnly:
        m_icon->setSymbol(QStringLiteral("doc.on.doc.fill"), ColorToken::indigo);
        m_title->setText(L("duplicates.inviteTitle"));
        m_detail->setText(L("duplicates.inviteDetail"));
        if (mode == Mode::readOnly) {
            note = L("readOnly.note");
            m_note->setToolTip(L("readOnly.detail"));
        }
        break;
    case Mode::searching:
        m_title->setText(L("duplicates.searching"));
        if (reading) {
            m_detail->setText(L("duplicates.reading %@ %@",
                                FormatUtils::formatCount(progress.filesHashed()),
                                FormatUtils::formatCount(progress.totalToHash())));
            // Counts beyond an int are scaled down together.
            const std::int64_t total = std::max<std::int64_t>(progress.totalToHash(), 1);
            const int scale = total > INT32_MAX ? int(total / INT32_MAX + 1) : 1;
            m_bar->setRange(0, int(total / scale));
            m_bar->setValue(int(std::min(progress.filesHashed(), total) / scale));
        } else {
            m_detail->setText(L("duplicates.comparingLengths %@",
                                FormatUtils::formatCount(progress.filesProcessed())));
        }
        break;
    case Mode::noneFound:
        m_icon->setSymbol(QStringLiteral("checkmark.circle.fill"), ColorToken::green);
        m_title->setText(L("duplicates.noneTitle"));
        m_detail->setText(L("duplicates.noneDetail"));
        if (unreadable > 0)
            note = L("duplicates.unreadable %lld", qint64(unreadable));
        break;
    }
    if (mode != Mode::readOnly)
        m_note->setToolTip({});
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
}

} // namespace plenvo
