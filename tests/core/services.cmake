plenvo_add_test(tst_diskscanner SOURCES tst_diskscanner.cpp LIBS plenvo-core)
