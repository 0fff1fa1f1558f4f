#include "CategoryListRow.h"

#include "theme/Colors.h"
#include "theme/Icons.h"
#include "theme/StyledLabel.h"
#include "theme/SymbolView.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QVBoxLayout>

namespace plenvo {

namespace {

constexpr qreal kRadius = 6;
constexpr qreal kSelectedOpacity = 0.08;
constexpr int kIconBox = 24;

} // namespace

CategoryListRow::CategoryListRow(const CategoryStat& stat, std::int64_t totalSize, QWidget* parent)
    : QAbstractButton(parent), m_category(stat.category)
{
    setObjectName(QStringLiteral("categoryListRow"));
    setText(m_category.localizedName());
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 10, 12, 10);
    row->setSpacing(12);
    auto* icon = new SymbolView(QString::fromLatin1(m_category.icon()),
                                Icons::extentFor(TextStyles::font(TextStyle::body)),
                                m_category.color(), this);
    icon->setFixedWidth(kIconBox);
    row->addWidget(icon);

    const auto stack = [](Qt::Alignment alignment) {
        auto* column = new QVBoxLayout;
        column->setSpacing(2);
        column->setAlignment(alignment);
        return column;
    };
    auto* names = stack(Qt::AlignLeft | Qt::AlignVCenter);
    auto* name = new StyledLabel(TextStyle::callout, {.weight = QFont::Medium}, std::nullopt, this);
    name->setElideMode(Qt::ElideRight);
    name->setText(m_category.localizedName());
    m_count = new StyledLabel(TextStyle::caption, {}, ColorToken::secondary, this);
    m_count->setElideMode(Qt::ElideRight);
    m_count->setText(L("categories.fileCount %lld", FormatUtils::countArg(stat.fileCount)));
    names->addWidget(name);
    names->addWidget(m_count);
    row->addLayout(names, 1);

    auto* numbers = stack(Qt::AlignRight | Qt::AlignVCenter);
    m_size =
        new StyledLabel(TextStyle::callout, {.weight = QFont::DemiBold, .monospacedDigits = true},
                        std::nullopt, this);
    m_size->setText(FormatUtils::formatBytes(stat.totalSize));
    m_share = new StyledLabel(TextStyle::caption, {.monospacedDigits = true}, ColorToken::secondary,
                              this);
    const double share = totalSize < 1 ? 0.0 : double(stat.totalSize) / double(totalSize) * 100.0;
    m_share->setText(FormatUtils::formatPercent(share));
    for (StyledLabel* label : {m_size, m_share}) {
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        numbers->addWidget(label, 0, Qt::AlignRight);
    }
    row->addLayout(numbers);

    for (QWidget* child : findChildren<QWidget*>())
        child->setAttribute(Qt::WA_TransparentForMouseEvents);
}

QString CategoryListRow::countText() const
{
    return m_count->fullText();
}

QString CategoryListRow::sizeText() const
{
    return m_size->fullText();
}

QString CategoryListRow::shareText() const
{
    return m_share->fullText();
}

void CategoryListRow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (isChecked()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Colors::color(m_category.color(), palette(), kSelectedOpacity));
        painter.drawRoundedRect(QRectF(rect()), kRadius, kRadius);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

} // namespace plenvo
