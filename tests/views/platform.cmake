# Desktop facilities
plenvo_add_test(tst_platform SOURCES tst_platform.cpp LIBS plenvo-views)
