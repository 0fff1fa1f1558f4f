# Pure geometry of the hand-drawn views
target_sources(plenvo-core PRIVATE
    geometry/TreemapLayout.cpp geometry/TreemapLayout.h
)
