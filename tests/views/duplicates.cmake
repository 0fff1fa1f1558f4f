# The duplicates view
plenvo_add_test(tst_duplicatesview SOURCES tst_duplicatesview.cpp ../TreeLayout.h LIBS plenvo-views)
