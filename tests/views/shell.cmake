plenvo_add_test(tst_contentview SOURCES tst_contentview.cpp FakeFolderPanel.h LIBS plenvo-views)
plenvo_add_test(tst_screens SOURCES tst_screens.cpp FakeFolderPanel.h LIBS plenvo-views)
plenvo_add_test(tst_openedscan SOURCES tst_openedscan.cpp FakeScanFilePanel.h LIBS plenvo-views)
plenvo_add_test(tst_windowsizes SOURCES tst_windowsizes.cpp SampleHome.h LIBS plenvo-views)
