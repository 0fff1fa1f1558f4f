# Sidebar, welcome screen, folder-picker sheet and scan progress
