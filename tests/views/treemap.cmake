plenvo_add_test(tst_treemapview SOURCES tst_treemapview.cpp LIBS plenvo-views)
