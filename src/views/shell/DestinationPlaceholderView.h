#pragma once

#include "SidebarItem.h"

#include <QWidget>

namespace plenvo {

// Names a destination in the detail area while there is no result to show in its view.
class DestinationPlaceholderView : public QWidget {
    Q_OBJECT

public:
    explicit DestinationPlaceholderView(SidebarItem destination, QWidget* parent = nullptr);
    SidebarItem destination() const { return m_destination; }

private:
    SidebarItem m_destination;
};

} // namespace plenvo
