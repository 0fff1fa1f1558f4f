#pragma once

#include "shell/DetailViewFactory.h"

#include <memory>

namespace plenvo {

class Clipboard;
class FileManager;
class ScanFilePanel;

// The application's views of a scan result: the overview, the treemap, the large-files list,
// the categories browser, the duplicates and the changes since an earlier scan in the detail
// area, and the inspector of the selected item. The views reach the desktop (file manager,
// clipboard, the panel that chooses a saved scan) through the facilities given here.
class AnalysisViewFactory final : public DetailViewFactory {
public:
    // Without `scanFiles`, the system's file panel.
    AnalysisViewFactory(FileManager& fileManager, Clipboard& clipboard,
                        ScanFilePanel* scanFiles = nullptr);
    ~AnalysisViewFactory() override;

    QWidget* createDetailView(SidebarItem destination, AppState& state, QWidget* parent) override;
    QWidget* createInspectorView(AppState& state, QWidget* parent) override;

private:
    FileManager& m_fileManager;
    Clipboard& m_clipboard;
    std::unique_ptr<ScanFilePanel> m_ownScanFiles; // when none was given
    ScanFilePanel* m_scanFiles;
};

} // namespace plenvo
