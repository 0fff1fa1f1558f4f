# The application shell: main window, sidebar, welcome screen, folder picking, scan progress.
target_sources(plenvo-views PRIVATE
    shell/FolderPanel.h
    shell/QtFolderPanel.cpp shell/QtFolderPanel.h
)
include(shell/start.cmake)
