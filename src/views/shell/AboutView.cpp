#include "AboutView.h"

#include "theme/Divider.h"
#include "theme/Icons.h"
#include "theme/StyledLabel.h"
#include "theme/SymbolView.h"
#include "utils/Localization.h"

#include <QVBoxLayout>

namespace plenvo {

AboutView::AboutView(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutView"));
    setWindowTitle(L("app.about"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(32, 32, 32, 32);
    column->setSpacing(16);
    column->setSizeConstraint(QLayout::SetFixedSize);

    column->addWidget(new SymbolView(QStringLiteral("internaldrive.fill"),
                                     Icons::extentFor(TextStyles::systemFont(48)), ColorToken::blue,
                                     this),
                      0, Qt::AlignHCenter);
    auto* names = new QVBoxLayout;
    names->setSpacing(4);
    auto* name = new StyledLabel(TextStyle::title, {.weight = QFont::Bold}, std::nullopt, this);
    name->setText(QStringLiteral("Plenvo"));
    names->addWidget(name, 0, Qt::AlignHCenter);
    auto* version = new StyledLabel(TextStyle::callout, {}, ColorToken::secondary, this);
    version->setObjectName(QStringLiteral("aboutVersion"));
    version->setText(QStringLiteral("Version " PLENVO_VERSION));
    names->addWidget(version, 0, Qt::AlignHCenter);
    column->addLayout(names);

    auto* tagline = new StyledLabel(TextStyle::callout, {}, ColorToken::secondary, this);
    tagline->setText(L("app.tagline"));
    tagline->setAlignment(Qt::AlignHCenter);
    tagline->setWordWrap(true);
    tagline->setFixedWidth(kWidth - 64);
    column->addWidget(tagline, 0, Qt::AlignHCenter);

    column->addWidget(new Divider(Qt::Horizontal, this));

    auto* credit = new StyledLabel(TextStyle::caption, {}, ColorToken::tertiary, this);
    credit->setObjectName(QStringLiteral("aboutCredit"));
    credit->setText(QStringLiteral("Built with Qt"));
    column->addWidget(credit, 0, Qt::AlignHCenter);
}

} // namespace plenvo
