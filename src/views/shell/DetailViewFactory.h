#pragma once

class QWidget;

namespace plenvo {

class AppState;

// Makes the views that fill the main window's detail area for a scan result, and the view of
// the selected item in the inspector column. The window owns what it is given.
class DetailViewFactory {
public:
    enum class Destination { overview, treeMap, largeFiles, categories };

    virtual ~DetailViewFactory() = default;
    virtual QWidget* createDetailView(Destination destination, AppState& state,
                                      QWidget* parent) = 0;
    // The view of AppState::selectedNode(); null when there is none to show (the window then
    // shows its placeholder).
    virtual QWidget* createInspectorView(AppState& state, QWidget* parent) = 0;
};

} // namespace plenvo
