#include "DiskUsageMiniBar.h"

#include "models/ScanResult.h"
#include "theme/Colors.h"
#include "theme/Icons.h"
#include "theme/StyledLabel.h"
#include "theme/SymbolView.h"
#include "utils/FormatUtils.h"

#include <QHBoxLayout>
#include <QPainter>

namespace plenvo {

DiskUsageMiniBar::DiskUsageMiniBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("diskUsageMiniBar"));
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 3, 8, 3);
    row->setSpacing(6);
    row->addWidget(new SymbolView(QStringLiteral("internaldrive.fill"),
                                  Icons::extentFor(TextStyles::font(TextStyle::caption2)),
                                  ColorToken::blue, this));
    m_name = new StyledLabel(TextStyle::caption2, {.weight = QFont::Medium}, std::nullopt, this);
    m_name->setMaximumWidth(320);
    m_name->setElideMode(Qt::ElideMiddle);
    m_size =
        new StyledLabel(TextStyle::caption2, {.weight = QFont::DemiBold, .monospacedDigits = true},
                        ColorToken::blue, this);
    row->addWidget(m_name);
    row->addWidget(m_size);
}

void DiskUsageMiniBar::setResult(const ScanResult* result)
{
    m_name->setText(result ? result->rootName() : QString());
    m_size->setText(result ? FormatUtils::formatBytesCompact(result->totalSize()) : QString());
    setAccessibleName(m_name->fullText());
    setAccessibleDescription(m_size->fullText());
    updateGeometry();
}

QString DiskUsageMiniBar::nameText() const
{
    return m_name->fullText();
}

QString DiskUsageMiniBar::sizeText() const
{
    return m_size->fullText();
}

void DiskUsageMiniBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Colors::color(ColorToken::gray, palette(), 0.12));
    const qreal radius = height() / 2.0;
    painter.drawRoundedRect(QRectF(rect()), radius, radius);
}

} // namespace plenvo
