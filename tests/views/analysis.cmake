# The views of a scan result
include(overview.cmake)
include(treemap.cmake)
include(inspector.cmake)
include(filelist.cmake)
include(categories.cmake)
