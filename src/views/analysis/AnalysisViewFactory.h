#pragma once

#include "shell/DetailViewFactory.h"

namespace plenvo {

class Clipboard;
class FileManager;

// The application's views of a scan result: the overview, the treemap, the large-files list,
// the categories browser and the duplicates in the detail area, and the inspector of the
// selected item. The views reach the desktop (file manager, clipboard) through the facilities
// given here.
class AnalysisViewFactory final : public DetailViewFactory {
public:
    AnalysisViewFactory(FileManager& fileManager, Clipboard& clipboard);

    QWidget* createDetailView(SidebarItem destination, AppState& state, QWidget* parent) override;
    QWidget* createInspectorView(AppState& state, QWidget* parent) override;

private:
    FileManager& m_fileManager;
    Clipboard& m_clipboard;
};

} // namespace plenvo
