#include "ViewHeader.h"

#include "theme/Icons.h"
#include "theme/StyledLabel.h"
#include "theme/SymbolView.h"
#include "theme/TextStyles.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace plenvo {

ViewHeader::ViewHeader(const QString& icon, ColorToken iconColor, QWidget* parent)
    : ToolbarSurface(parent)
{
    setObjectName(QStringLiteral("viewHeader"));
    m_row = new QHBoxLayout(this);
    m_row->setContentsMargins(16, 10, 16, 10);
    m_row->setSpacing(12);
    m_row->addWidget(
        new SymbolView(icon, Icons::extentFor(TextStyles::systemFont(14)), iconColor, this));

    auto* texts = new QVBoxLayout;
    texts->setContentsMargins(0, 0, 0, 0);
    texts->setSpacing(0);
    m_title = new StyledLabel(TextStyle::body, {}, std::nullopt, this);
    m_title->setFont(TextStyles::systemFont(14, {.weight = QFont::DemiBold}));
    m_title->setElideMode(Qt::ElideRight);
    m_subtitle = new StyledLabel(TextStyle::body, {}, ColorToken::secondary, this);
    m_subtitle->setFont(TextStyles::systemFont(11));
    m_subtitle->setElideMode(Qt::ElideRight);
    texts->addWidget(m_title);
    texts->addWidget(m_subtitle);
    m_row->addLayout(texts);
    m_row->addStretch(1);
}

void ViewHeader::setTitle(const QString& title)
{
    m_title->setText(title);
}

QString ViewHeader::title() const
{
    return m_title->fullText();
}

void ViewHeader::setSubtitle(const QString& subtitle)
{
    m_subtitle->setText(subtitle);
}

QString ViewHeader::subtitle() const
{
    return m_subtitle->fullText();
}

void ViewHeader::addTrailingWidget(QWidget* widget)
{
    m_row->addWidget(widget);
}

} // namespace plenvo
