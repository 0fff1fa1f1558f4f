plenvo_add_test(tst_contentview SOURCES tst_contentview.cpp FakeFolderPanel.h LIBS plenvo-views)
