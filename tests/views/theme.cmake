plenvo_add_test(tst_icons SOURCES tst_icons.cpp LIBS plenvo-views)
plenvo_add_test(tst_colors SOURCES tst_colors.cpp LIBS plenvo-views)
plenvo_add_test(tst_textstyles SOURCES tst_textstyles.cpp LIBS plenvo-views)
