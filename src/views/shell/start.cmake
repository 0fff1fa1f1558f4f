# Sidebar, welcome screen (with the recent scans), folder-picker sheet and scan progress
target_sources(plenvo-views PRIVATE
    shell/DirectoryPickerSheet.cpp shell/DirectoryPickerSheet.h
    shell/QuickLocationRow.cpp shell/QuickLocationRow.h
    shell/RecentScanDelegate.cpp shell/RecentScanDelegate.h
    shell/RecentScansModel.cpp shell/RecentScansModel.h
    shell/ScanningProgressView.cpp shell/ScanningProgressView.h
    shell/SidebarDelegate.cpp shell/SidebarDelegate.h
    shell/SidebarModel.cpp shell/SidebarModel.h
    shell/SidebarView.cpp shell/SidebarView.h
    shell/WelcomeView.cpp shell/WelcomeView.h
)
