# The changes since an earlier scan: the list's model, rows and view, the summary with its filters
target_sources(plenvo-views PRIVATE
    analysis/ChangeRowDelegate.cpp analysis/ChangeRowDelegate.h
    analysis/ChangesList.cpp analysis/ChangesList.h
    analysis/ChangesModel.cpp analysis/ChangesModel.h
    analysis/ChangesSummaryView.cpp analysis/ChangesSummaryView.h
    analysis/ChangesView.cpp analysis/ChangesView.h
)
