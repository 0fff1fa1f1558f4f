#include "AnalysisViewFactory.h"

#include "AppState.h"
#include "CategoriesView.h"
#include "DuplicatesView.h"
#include "ChangesView.h"
#include "FileInspectorView.h"
#include "LargeFilesView.h"
#include "OverviewView.h"
#include "TreeMapView.h"
#include "shell/DestinationPlaceholderView.h"
#include "shell/QtScanFilePanel.h"

namespace plenvo {

AnalysisViewFactory::AnalysisViewFactory(FileManager& fileManager, Clipboard& clipboard,
                                         ScanFilePanel* scanFiles)
    : m_fileManager(fileManager), m_clipboard(clipboard),
      m_ownScanFiles(scanFiles ? nullptr : std::make_unique<QtScanFilePanel>()),
      m_scanFiles(scanFiles ? scanFiles : m_ownScanFiles.get())
{
}

AnalysisViewFactory::~AnalysisViewFactory() = default;

QWidget* AnalysisViewFactory::createDetailView(SidebarItem destination, AppState& state,
                                               QWidget* parent)
{
    if (!state.scanResult())
        return new DestinationPlaceholderView(destination, parent);
    switch (destination.shownView()) {
    case SidebarItem::overview:
        return new OverviewView(state, parent);
    case SidebarItem::treeMap:
        return new TreeMapView(state, m_fileManager, m_clipboard, parent);
    case SidebarItem::largeFiles:
        return new LargeFilesView(state, m_fileManager, m_clipboard, parent);
    case SidebarItem::categories:
        return new CategoriesView(state, m_fileManager, m_clipboard, parent);
    case SidebarItem::duplicates:
        return new DuplicatesView(state, m_fileManager, m_clipboard, parent);
    case SidebarItem::changes:
        return new ChangesView(state, m_fileManager, m_clipboard, *m_scanFiles, parent);
    default:
        break;
    }
    return new DestinationPlaceholderView(destination, parent);
}

QWidget* AnalysisViewFactory::createInspectorView(AppState& state, QWidget* parent)
{
    if (!state.selectedNode())
        return nullptr;
    return new FileInspectorView(state, m_fileManager, parent);
}

} // namespace plenvo
