plenvo_add_test(tst_diskscanner SOURCES tst_diskscanner.cpp LIBS plenvo-core)
plenvo_add_test(tst_ncdureader SOURCES tst_ncdureader.cpp NcduTreeDump.h LIBS plenvo-core)
plenvo_add_test(tst_ncduwriter SOURCES tst_ncduwriter.cpp NcduTreeDump.h LIBS plenvo-core)
