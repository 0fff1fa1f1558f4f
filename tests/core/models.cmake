plenvo_add_test(tst_filenode SOURCES tst_filenode.cpp LIBS plenvo-core)
