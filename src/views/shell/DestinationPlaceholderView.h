#pragma once

#include "DetailViewFactory.h"

#include <QWidget>

namespace plenvo {

// Names a destination whose view is not built yet.
class DestinationPlaceholderView : public QWidget {
    Q_OBJECT

public:
    DestinationPlaceholderView(DetailViewFactory::Destination destination,
                               QWidget* parent = nullptr);
    DetailViewFactory::Destination destination() const { return m_destination; }

private:
    DetailViewFactory::Destination m_destination;
};

// The factory used until the analysis views exist: placeholders everywhere.
class PlaceholderViewFactory final : public DetailViewFactory {
public:
    QWidget* createDetailView(Destination destination, AppState& state, QWidget* parent) override;
    QWidget* createInspectorView(AppState& state, QWidget* parent) override;
};

} // namespace plenvo
