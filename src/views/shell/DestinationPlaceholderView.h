#pragma once

#include "SidebarItem.h"

#include <QWidget>

namespace plenvo {

// Names a destination whose view is not built yet.
class DestinationPlaceholderView : public QWidget {
    Q_OBJECT

public:
    explicit DestinationPlaceholderView(SidebarItem destination, QWidget* parent = nullptr);
    SidebarItem destination() const { return m_destination; }

private:
    SidebarItem m_destination;
};

} // namespace plenvo
