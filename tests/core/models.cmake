plenvo_add_test(tst_filenode SOURCES tst_filenode.cpp LIBS plenvo-core)
plenvo_add_test(tst_scanresult SOURCES tst_scanresult.cpp LIBS plenvo-core)
