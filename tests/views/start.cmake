# Sidebar, welcome screen, folder-picker sheet and scan progress
plenvo_add_test(tst_sidebarview SOURCES tst_sidebarview.cpp LIBS plenvo-views)
plenvo_add_test(tst_accessiblenames SOURCES tst_accessiblenames.cpp LIBS plenvo-views)
plenvo_add_test(tst_welcomeview SOURCES tst_welcomeview.cpp FakeFolderPanel.h LIBS plenvo-views)
plenvo_add_test(tst_directorypickersheet
    SOURCES tst_directorypickersheet.cpp FakeFolderPanel.h LIBS plenvo-views)
plenvo_add_test(tst_scanningprogressview SOURCES tst_scanningprogressview.cpp LIBS plenvo-views)
