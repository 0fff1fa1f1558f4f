plenvo_add_test(tst_diskscanner SOURCES tst_diskscanner.cpp LIBS plenvo-core)
plenvo_add_test(tst_ncduexport SOURCES tst_ncduexport.cpp NcduTreeDump.h LIBS plenvo-core)
plenvo_add_test(tst_duplicatefinder SOURCES tst_duplicatefinder.cpp LIBS plenvo-core)
