# Sidebar, welcome screen, folder-picker sheet and scan progress
plenvo_add_test(tst_sidebarview SOURCES tst_sidebarview.cpp LIBS plenvo-views)
plenvo_add_test(tst_scanstart SOURCES tst_scanstart.cpp FakeFolderPanel.h LIBS plenvo-views)
