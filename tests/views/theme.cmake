plenvo_add_test(tst_theme SOURCES tst_theme.cpp LIBS plenvo-views)
