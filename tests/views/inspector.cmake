# The inspector of the selected file or folder
plenvo_add_test(tst_fileinspectorview SOURCES tst_fileinspectorview.cpp LIBS plenvo-views)
