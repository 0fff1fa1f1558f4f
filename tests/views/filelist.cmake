# The large-files view with its file operation list and bar
plenvo_add_test(tst_fileoperationlist SOURCES tst_fileoperationlist.cpp LIBS plenvo-views)
# With the real Trash, in a private XDG_DATA_HOME that the test sets up itself.
plenvo_add_test(tst_trashflow SOURCES tst_trashflow.cpp FakeFolderPanel.h LIBS plenvo-views)
