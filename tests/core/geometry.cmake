plenvo_add_test(tst_treemaplayout SOURCES tst_treemaplayout.cpp LIBS plenvo-core)
