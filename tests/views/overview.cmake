plenvo_add_test(tst_overviewview SOURCES tst_overviewview.cpp ResultBuilder.h LIBS plenvo-views)
