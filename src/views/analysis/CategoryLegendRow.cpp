#include "CategoryLegendRow.h"

#include "theme/Colors.h"
#include "theme/StyledLabel.h"
#include "utils/FormatUtils.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace plenvo {

namespace {

constexpr int kSpacing = 6;

} // namespace

CategoryLegendRow::CategoryLegendRow(const CategoryStat& stat, QWidget* parent)
    : QAbstractButton(parent), m_category(stat.category)
{
    setObjectName(QStringLiteral("legendRow"));
    setText(m_category.localizedName());
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(kDotSize + kSpacing, 0, 0, 0); // the dot is painted in the margin
    row->setSpacing(kSpacing);
    auto* name = new StyledLabel(TextStyle::caption, {}, std::nullopt, this);
    name->setElideMode(Qt::ElideRight);
    name->setText(m_category.localizedName());
    m_size = new StyledLabel(TextStyle::caption, {.monospacedDigits = true}, ColorToken::secondary,
                             this);
    m_size->setText(FormatUtils::formatBytesCompact(stat.totalSize));
    for (QWidget* label : {static_cast<QWidget*>(name), static_cast<QWidget*>(m_size)})
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    row->addWidget(name, 1);
    row->addWidget(m_size);
}

QString CategoryLegendRow::sizeText() const
{
    return m_size->fullText();
}

void CategoryLegendRow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Colors::color(m_category.color(), palette()));
    painter.drawEllipse(QRectF(0, (height() - kDotSize) / 2.0, kDotSize, kDotSize));
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

} // namespace plenvo
