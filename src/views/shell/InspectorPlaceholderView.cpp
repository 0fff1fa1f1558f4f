#include "InspectorPlaceholderView.h"

#include "theme/Icons.h"
#include "theme/StyledLabel.h"
#include "theme/SymbolView.h"
#include "utils/Localization.h"

#include <QVBoxLayout>

namespace plenvo {

InspectorPlaceholderView::InspectorPlaceholderView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("inspectorPlaceholder"));
    setFixedWidth(kWidth);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    auto* column = new QVBoxLayout(this);
    column->setSpacing(10);
    column->addStretch(1);
    auto* icon =
        new SymbolView(QStringLiteral("doc.text.magnifyingglass"),
                       Icons::extentFor(TextStyles::systemFont(28)), ColorToken::tertiary, this);
    column->addWidget(icon, 0, Qt::AlignHCenter);
    auto* title =
        new StyledLabel(TextStyle::callout, {.weight = QFont::Medium}, ColorToken::secondary, this);
    title->setText(L("inspector.emptyTitle"));
    column->addWidget(title, 0, Qt::AlignHCenter);
    auto* description = new StyledLabel(TextStyle::caption, {}, ColorToken::tertiary, this);
    description->setText(L("inspector.emptyDesc"));
    description->setAlignment(Qt::AlignHCenter);
    description->setWordWrap(true);
    description->setContentsMargins(24, 0, 24, 0);
    column->addWidget(description);
    column->addStretch(1);
}

} // namespace plenvo
