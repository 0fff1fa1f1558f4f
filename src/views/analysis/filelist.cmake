# The file operation list (model, row delegate, selection, actions, action bar) and the
# large-files view built on it.
target_sources(plenvo-views PRIVATE
    analysis/FileActions.cpp analysis/FileActions.h
    analysis/FileListModel.cpp analysis/FileListModel.h
    analysis/FileOperationBar.cpp analysis/FileOperationBar.h
    analysis/FileOperationList.cpp analysis/FileOperationList.h
    analysis/FileRowDelegate.cpp analysis/FileRowDelegate.h
    analysis/FileSelectionModel.cpp analysis/FileSelectionModel.h
    analysis/LargeFilesView.cpp analysis/LargeFilesView.h
    analysis/ListGestures.cpp analysis/ListGestures.h
    analysis/ViewHeader.cpp analysis/ViewHeader.h
)
