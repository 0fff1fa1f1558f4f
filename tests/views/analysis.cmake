# The views of a scan result
include(filelist.cmake)
