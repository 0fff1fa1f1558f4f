# The views of a scan result
include(inspector.cmake)
