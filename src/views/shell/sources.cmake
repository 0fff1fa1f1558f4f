# The application shell: main window, sidebar, welcome screen, folder picking, scan progress.
target_sources(plenvo-views PRIVATE
    shell/AboutView.cpp shell/AboutView.h
    shell/ActivitySpinner.cpp shell/ActivitySpinner.h
    shell/ContentView.cpp shell/ContentView.h
    shell/DeleteBanner.cpp shell/DeleteBanner.h
    shell/DestinationPlaceholderView.cpp shell/DestinationPlaceholderView.h
    shell/DetailViewFactory.h
    shell/DiskUsageMiniBar.cpp shell/DiskUsageMiniBar.h
    shell/FolderPanel.h
    shell/InspectorPlaceholderView.cpp shell/InspectorPlaceholderView.h
    shell/LocationDrop.cpp shell/LocationDrop.h
    shell/MainWindow.cpp shell/MainWindow.h
    shell/OverlayCard.cpp shell/OverlayCard.h
    shell/QtFolderPanel.cpp shell/QtFolderPanel.h
    shell/QtScanFilePanel.cpp shell/QtScanFilePanel.h
    shell/ScanFilePanel.h
    shell/ToastView.cpp shell/ToastView.h
)
include(shell/start.cmake)
