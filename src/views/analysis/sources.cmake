# The views of a scan result and the factory that makes them.
target_sources(plenvo-views PRIVATE
    analysis/AnalysisViewFactory.cpp analysis/AnalysisViewFactory.h
)
include(analysis/filelist.cmake)
