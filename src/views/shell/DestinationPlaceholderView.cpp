#include "DestinationPlaceholderView.h"

#include "SidebarItem.h"
#include "theme/StyledLabel.h"

#include <QVBoxLayout>

namespace plenvo {

namespace {

SidebarItem itemFor(DetailViewFactory::Destination destination)
{
    switch (destination) {
    case DetailViewFactory::Destination::overview:
        return SidebarItem::overview;
    case DetailViewFactory::Destination::treeMap:
        return SidebarItem::treeMap;
    case DetailViewFactory::Destination::largeFiles:
        return SidebarItem::largeFiles;
    case DetailViewFactory::Destination::categories:
        break;
    }
    return SidebarItem::categories;
}

} // namespace

DestinationPlaceholderView::DestinationPlaceholderView(DetailViewFactory::Destination destination,
                                                       QWidget* parent)
    : QWidget(parent), m_destination(destination)
{
    setObjectName(QStringLiteral("destinationPlaceholder"));
    auto* column = new QVBoxLayout(this);
    auto* title = new StyledLabel(TextStyle::title2, {.weight = QFont::DemiBold},
                                  ColorToken::secondary, this);
    title->setObjectName(QStringLiteral("destinationTitle"));
    title->setText(itemFor(destination).localizedName());
    column->addWidget(title, 0, Qt::AlignCenter);
}

QWidget* PlaceholderViewFactory::createDetailView(Destination destination, AppState&,
                                                  QWidget* parent)
{
    return new DestinationPlaceholderView(destination, parent);
}

QWidget* PlaceholderViewFactory::createInspectorView(AppState&, QWidget*)
{
    return nullptr;
}

} // namespace plenvo
