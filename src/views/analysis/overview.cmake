# The overview page of a scan result.
target_sources(plenvo-views PRIVATE
    analysis/OverviewView.cpp analysis/OverviewView.h
)
