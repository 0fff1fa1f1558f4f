#pragma once

#include "SidebarItem.h"

class QWidget;

namespace plenvo {

class AppState;

// Makes the views that fill the main window's detail area for a scan result, and the view of
// the selected item in the inspector column. The window owns what it is given.
class DetailViewFactory {
public:
    virtual ~DetailViewFactory() = default;
    // The view of a destination that has one of its own (SidebarItem::hasOwnView()), for the
    // state's current result.
    virtual QWidget* createDetailView(SidebarItem destination, AppState& state,
                                      QWidget* parent) = 0;
    // The view of AppState::selectedNode(); null when there is none to show (the window then
    // shows its placeholder).
    virtual QWidget* createInspectorView(AppState& state, QWidget* parent) = 0;
};

} // namespace plenvo
