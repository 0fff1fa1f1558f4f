# The categories view
plenvo_add_test(tst_categoriesview SOURCES tst_categoriesview.cpp LIBS plenvo-views)
