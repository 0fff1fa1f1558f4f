# The views of a scan result
include(overview.cmake)
include(treemap.cmake)
include(inspector.cmake)
include(filelist.cmake)
include(categories.cmake)
# The changes since an earlier scan, the recent scans and the history switch
plenvo_add_test(tst_changesview SOURCES tst_changesview.cpp LIBS plenvo-views)
