# Facilities of the desktop behind small interfaces: the file manager and the clipboard.
target_sources(plenvo-views PRIVATE
    platform/Clipboard.h
    platform/FileManager.h
    platform/FreedesktopFileManager.cpp platform/FreedesktopFileManager.h
    platform/SystemClipboard.cpp platform/SystemClipboard.h
)
