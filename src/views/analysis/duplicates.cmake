# The duplicates view: the groups with their files and marks, the search panel, the action bar.
target_sources(plenvo-views PRIVATE
    analysis/DuplicateActions.cpp analysis/DuplicateActions.h
    analysis/DuplicateGroupsModel.cpp analysis/DuplicateGroupsModel.h
    analysis/DuplicateRowDelegate.cpp analysis/DuplicateRowDelegate.h
    analysis/DuplicateSearchPanel.cpp analysis/DuplicateSearchPanel.h
    analysis/DuplicatesBar.cpp analysis/DuplicatesBar.h
    analysis/DuplicatesTreeView.cpp analysis/DuplicatesTreeView.h
    analysis/DuplicatesView.cpp analysis/DuplicatesView.h
)
