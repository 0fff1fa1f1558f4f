#include "ChangesSummaryView.h"

#include "ChangeRowDelegate.h"
#include "ChangesModel.h"
#include "theme/Colors.h"
#include "theme/StyledLabel.h"
#include "theme/TextStyles.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace plenvo {

namespace {

using Kind = ScanComparison::Kind;

struct FilterKind {
    unsigned filter;
    Kind kind;
    const char* name;
};
constexpr std::array<FilterKind, 4> kFilters = {{
    {ChangesModel::grownFilter, Kind::grown, "changesGrownFilter"},
    {ChangesModel::shrunkFilter, Kind::shrunk, "changesShrunkFilter"},
    {ChangesModel::appearedFilter, Kind::appeared, "changesAppearedFilter"},
    {ChangesModel::goneFilter, Kind::gone, "changesGoneFilter"},
}};

QString filesText(std::int64_t files)
{
    return files == 1 ? L("changes.oneFile") : L("changes.files %@", FormatUtils::formatCount(files));
}

} // namespace

ChangesSummaryView::ChangesSummaryView(QWidget* parent)
    : QWidget(parent),
      m_net(new StyledLabel(TextStyle::title2, {.weight = QFont::Bold, .monospacedDigits = true},
                            std::nullopt, this)),
      m_netCaption(new StyledLabel(TextStyle::caption, {}, ColorToken::secondary, this)),
      m_detail(new StyledLabel(TextStyle::caption, {.monospacedDigits = true},
                               ColorToken::tertiary, this))
{
    setObjectName(QStringLiteral("changesSummary"));
    m_net->setObjectName(QStringLiteral("changesNet"));
    m_detail->setObjectName(QStringLiteral("changesTotals"));
    m_netCaption->setText(L("changes.net"));
    m_detail->setElideMode(Qt::ElideRight);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(16, 12, 16, 12);
    column->setSpacing(10);
    auto* netRow = new QHBoxLayout;
    netRow->setSpacing(10);
    netRow->addWidget(m_net, 0, Qt::AlignBaseline);
    auto* captions = new QVBoxLayout;
    captions->setSpacing(0);
    captions->addWidget(m_netCaption);
    captions->addWidget(m_detail);
    netRow->addLayout(captions, 1);
    column->addLayout(netRow);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    for (std::size_t i = 0; i < kFilters.size(); ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(QLatin1String(kFilters[i].name));
        button->setCheckable(true);
        button->setChecked(true);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        button->setCursor(Qt::PointingHandCursor);
        button->setFont(TextStyles::font(TextStyle::caption, {.monospacedDigits = true}));
        connect(button, &QToolButton::toggled, this, [this] {
            styleButtons();
            Q_EMIT filtersChanged(filters());
        });
        buttons->addWidget(button, 1);
        m_buttons[i] = button;
    }
    column->addLayout(buttons);
    setSummary({});
    styleButtons();
}

unsigned ChangesSummaryView::filters() const
{
    unsigned on = 0;
    for (std::size_t i = 0; i < kFilters.size(); ++i)
        if (m_buttons[i]->isChecked())
            on |= kFilters[i].filter;
    return on;
}

QToolButton* ChangesSummaryView::filterButton(unsigned filter) const
{
    for (std::size_t i = 0; i < kFilters.size(); ++i)
        if (kFilters[i].filter == filter)
            return m_buttons[i];
    return nullptr;
}

void ChangesSummaryView::setSummary(const ScanComparison::Summary& summary)
{
    const std::int64_t net = summary.netChange();
    m_net->setText(FormatUtils::formatBytesChange(net));
    m_net->setColorToken(ChangeRowDelegate::changeColor(net) == ColorToken::secondary
                             ? std::nullopt
                             : std::optional(ChangeRowDelegate::changeColor(net)));
    QString detail = FormatUtils::formatBytes(summary.oldTotal) + QStringLiteral(" \u2192 ") +
                     FormatUtils::formatBytes(summary.newTotal);
    if (summary.movedFolders > 0)
        detail += QStringLiteral(" \u00b7 ") +
                  L("changes.movedFolders %@", FormatUtils::formatCount(summary.movedFolders));
    m_detail->setText(detail);
    const std::array<const ScanComparison::Tally*, 4> tallies = {&summary.grown, &summary.shrunk,
                                                                 &summary.appeared, &summary.gone};
    for (std::size_t i = 0; i < kFilters.size(); ++i) {
        const std::int64_t bytes = tallies[i]->bytes;
        const bool frees = kFilters[i].kind == Kind::shrunk || kFilters[i].kind == Kind::gone;
        m_buttons[i]->setText(ChangeRowDelegate::kindText(kFilters[i].kind) + u' ' +
                              FormatUtils::formatBytesChange(frees ? -bytes : bytes) + u'\n' +
                              filesText(tallies[i]->files));
        m_buttons[i]->setToolTip(L("changes.filterHelp"));
    }
}

void ChangesSummaryView::styleButtons()
{
    // Each button in the colour of its kind: tinted while on, plain while off.
    m_styling = true;
    for (std::size_t i = 0; i < kFilters.size(); ++i) {
        QToolButton* button = m_buttons[i];
        const QColor tint = Colors::color(ChangeRowDelegate::kindColor(kFilters[i].kind), palette());
        const QColor text = palette().color(QPalette::WindowText);
        const bool on = button->isChecked();
        button->setStyleSheet(
            QStringLiteral("QToolButton { border: 1px solid %1; border-radius: 8px; padding: 5px 8px;"
                           " background: %2; color: %3; text-align: left; }")
                .arg(Colors::withOpacity(tint, on ? 0.55 : 0.25).name(QColor::HexArgb),
                     Colors::withOpacity(tint, on ? 0.14 : 0.0).name(QColor::HexArgb),
                     Colors::withOpacity(text, on ? 1.0 : 0.55).name(QColor::HexArgb)));
    }
    m_styling = false;
}

void ChangesSummaryView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !m_styling)
        styleButtons();
}

} // namespace plenvo
