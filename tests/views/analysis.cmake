# The views of a scan result
include(treemap.cmake)
