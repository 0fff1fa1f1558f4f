# The inspector of the selected file or folder
target_sources(plenvo-views PRIVATE
    analysis/ClampedTextView.cpp analysis/ClampedTextView.h
    analysis/FileInspectorView.cpp analysis/FileInspectorView.h
)
