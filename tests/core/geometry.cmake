plenvo_add_test(tst_treemaplayout SOURCES tst_treemaplayout.cpp LIBS plenvo-core)
plenvo_add_test(tst_ringgeometry SOURCES tst_ringgeometry.cpp LIBS plenvo-core)
