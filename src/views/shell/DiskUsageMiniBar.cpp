#include "DiskUsageMiniBar.h"

#include "models/ScanResult.h"
#include "theme/Colors.h"
#include "theme/Icons.h"
#include "theme/StyledLabel.h"
#include "theme/SymbolView.h"
#include "utils/DisplayText.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QStringList>

namespace plenvo {

DiskUsageMiniBar::DiskUsageMiniBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("diskUsageMiniBar"));
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 3, 8, 3);
    row->setSpacing(6);
    m_icon = new SymbolView(QStringLiteral("internaldrive.fill"),
                            Icons::extentFor(TextStyles::font(TextStyle::caption2)),
                            ColorToken::blue, this);
    row->addWidget(m_icon);
    m_name = new StyledLabel(TextStyle::caption2, {.weight = QFont::Medium}, std::nullopt, this);
    m_name->setMaximumWidth(320);
    m_name->setElideMode(Qt::ElideMiddle);
    m_origin = new StyledLabel(TextStyle::caption2, {}, ColorToken::secondary, this);
    m_origin->setObjectName(QStringLiteral("originText"));
    m_origin->hide();
    m_size =
        new StyledLabel(TextStyle::caption2, {.weight = QFont::DemiBold, .monospacedDigits = true},
                        ColorToken::blue, this);
    row->addWidget(m_name);
    row->addWidget(m_origin);
    row->addWidget(m_size);
}

void DiskUsageMiniBar::setResult(const ScanResult* result)
{
    m_name->setText(result ? result->rootName() : QString());
    m_size->setText(result ? FormatUtils::formatBytesCompact(result->totalSize(),
                                                             result->rootNode()->isIncomplete())
                           : QString());
    const bool opened = result && result->isOpenedFromFile();
    const bool stopped = result && result->wasStopped();
    m_icon->setSymbol(opened ? QStringLiteral("doc.text.fill")
                             : QStringLiteral("internaldrive.fill"),
                      ColorToken::blue);
    QStringList origin;
    if (opened)
        origin << L("header.openedFrom %@", FormatUtils::formatDateFull(result->scanDate()));
    if (stopped)
        origin << L("header.stopped");
    m_origin->setText(origin.join(QStringLiteral(" \u00b7 ")));
    m_origin->setVisible(!origin.isEmpty());
    setToolTip(opened ? DisplayText::fromBytes(*result->openedFrom()) : QString());
    setAccessibleName(m_name->fullText());
    setAccessibleDescription(origin.isEmpty() ? m_size->fullText()
                                              : m_origin->fullText() + u' ' + m_size->fullText());
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

QString DiskUsageMiniBar::originText() const
{
    return m_origin->fullText();
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
