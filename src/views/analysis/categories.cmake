# The categories view: the ring chart with its legend, the category list and the paged file
# list of the chosen category.
target_sources(plenvo-views PRIVATE
    analysis/CategoriesView.cpp analysis/CategoriesView.h
    analysis/CategoryFilesHeader.cpp analysis/CategoryFilesHeader.h
    analysis/CategoryLegendRow.cpp analysis/CategoryLegendRow.h
    analysis/CategoryListRow.cpp analysis/CategoryListRow.h
    analysis/RingChartView.cpp analysis/RingChartView.h
)
