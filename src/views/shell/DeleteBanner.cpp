#include "DeleteBanner.h"

#include "ActivitySpinner.h"
#include "theme/Colors.h"
#include "theme/Icons.h"
#include "theme/StyledLabel.h"
#include "theme/SymbolView.h"
#include "theme/TextStyles.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QHBoxLayout>
#include <QProgressBar>
#include <QVBoxLayout>

namespace plenvo {

DeleteBanner::DeleteBanner(QWidget* parent)
    : OverlayCard(ColorToken::orange, 0.12, 0.15, 6, 3, parent)
{
    setObjectName(QStringLiteral("deleteBanner"));
    const int extent = Icons::extentFor(TextStyles::font(TextStyle::callout));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(16, 10, 16, 10 + shadowExtent());
    column->setSpacing(6);
    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    m_spinner = new ActivitySpinner(extent, this);
    m_spinner->setAccessibleName(L("delete.inProgress"));
    m_icon = new SymbolView(QStringLiteral("trash.fill"), extent, ColorToken::orange, this);
    m_text =
        new StyledLabel(TextStyle::callout, {.weight = QFont::Medium, .monospacedDigits = true},
                        std::nullopt, this);
    m_text->setObjectName(QStringLiteral("deleteText"));
    m_percent =
        new StyledLabel(TextStyle::callout, {.weight = QFont::Bold, .monospacedDigits = true},
                        ColorToken::orange, this);
    m_percent->setObjectName(QStringLiteral("deletePercent"));
    row->addWidget(m_spinner);
    row->addWidget(m_icon);
    row->addWidget(m_text);
    row->addStretch(1);
    row->addWidget(m_percent);
    column->addLayout(row);
    m_bar = new QProgressBar(this);
    m_bar->setTextVisible(false);
    m_bar->setFixedHeight(6);
    QPalette barPalette = m_bar->palette();
    barPalette.setColor(QPalette::Highlight, Colors::color(ColorToken::orange, palette()));
    m_bar->setPalette(barPalette);
    column->addWidget(m_bar);
    setProgress(0, 0);
}

void DeleteBanner::setProgress(qint64 count, qint64 total, bool puttingBack)
{
    const bool known = total >= 1;
    const auto number = FormatUtils::countArg;
    m_text->setText(!known       ? L("delete.inProgress")
                    : puttingBack ? L("undo.progress %lld %lld", number(count), number(total))
                                  : L("delete.progress %lld %lld", number(count), number(total)));
    m_percent->setVisible(known);
    m_bar->setVisible(known);
    setAccessibleName(m_text->fullText());
    setAccessibleDescription(QString());
    if (!known)
        return;
    const int percent = int(double(count) / double(total) * 100.0);
    m_percent->setText(QString::number(percent) + QLatin1Char('%'));
    setAccessibleDescription(m_percent->fullText());
    // The bar counts in items; totals beyond int are scaled down alike.
    const qint64 scale = std::max<qint64>(1, total / INT_MAX + 1);
    m_bar->setRange(0, int(total / scale));
    m_bar->setValue(int(std::min(count, total) / scale));
}

QString DeleteBanner::text() const
{
    return m_text->fullText();
}

QString DeleteBanner::percentText() const
{
    return m_percent->isVisibleTo(this) ? m_percent->text() : QString();
}

bool DeleteBanner::showsBar() const
{
    return m_bar->isVisibleTo(this);
}

int DeleteBanner::barValue() const
{
    return m_bar->value();
}

int DeleteBanner::barMaximum() const
{
    return m_bar->maximum();
}

} // namespace plenvo
