#include "DestinationPlaceholderView.h"

#include "theme/StyledLabel.h"

#include <QVBoxLayout>

namespace plenvo {

DestinationPlaceholderView::DestinationPlaceholderView(SidebarItem destination, QWidget* parent)
    : QWidget(parent), m_destination(destination)
{
    setObjectName(QStringLiteral("destinationPlaceholder"));
    auto* column = new QVBoxLayout(this);
    auto* title = new StyledLabel(TextStyle::title2, {.weight = QFont::DemiBold},
                                  ColorToken::secondary, this);
    title->setObjectName(QStringLiteral("destinationTitle"));
    title->setText(destination.localizedName());
    column->addWidget(title, 0, Qt::AlignCenter);
}

} // namespace plenvo
