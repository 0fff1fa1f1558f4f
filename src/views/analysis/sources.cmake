# The views of a scan result and the factory that makes them.
target_sources(plenvo-views PRIVATE
    analysis/AnalysisViewFactory.cpp analysis/AnalysisViewFactory.h
)
include(analysis/overview.cmake)
include(analysis/treemap.cmake)
include(analysis/inspector.cmake)
include(analysis/filelist.cmake)
include(analysis/categories.cmake)
include(analysis/duplicates.cmake)
include(analysis/changes.cmake)
