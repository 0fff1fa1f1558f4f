plenvo_add_test(tst_diskscanner SOURCES tst_diskscanner.cpp LIBS plenvo-core)
plenvo_add_test(tst_ncduexport SOURCES tst_ncduexport.cpp NcduTreeDump.h LIBS plenvo-core)
plenvo_add_test(tst_scancomparer SOURCES tst_scancomparer.cpp TreeText.h LIBS plenvo-core)
plenvo_add_test(tst_scanhistory SOURCES tst_scanhistory.cpp TreeText.h NcduTreeDump.h LIBS plenvo-core)
