# Facilities of the desktop behind small interfaces: the file manager, the clipboard and the
# colour scheme the desktop prefers.
target_sources(plenvo-views PRIVATE
    platform/Clipboard.h
    platform/ColorSchemeSource.h
    platform/FileManager.h
    platform/FreedesktopFileManager.cpp platform/FreedesktopFileManager.h
    platform/PortalColorScheme.cpp platform/PortalColorScheme.h
    platform/SystemClipboard.cpp platform/SystemClipboard.h
)
