# Pure geometry of the hand-drawn views
target_sources(plenvo-core PRIVATE
    geometry/RingGeometry.cpp geometry/RingGeometry.h
    geometry/TreemapLayout.cpp geometry/TreemapLayout.h
    geometry/TreemapNavigation.cpp geometry/TreemapNavigation.h
)
