# The treemap of one folder
target_sources(plenvo-views PRIVATE
    analysis/TreeMapView.cpp analysis/TreeMapView.h
    analysis/TreemapCanvas.cpp analysis/TreemapCanvas.h
)
