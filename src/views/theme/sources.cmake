# Icons, colours and text styles
target_sources(plenvo-views PRIVATE
    theme/Colors.cpp
    theme/Colors.h
    theme/Icons.cpp
    theme/Icons.h
    theme/ItemRow.cpp
    theme/ItemRow.h
    theme/SymbolIconEngine.cpp
    theme/SymbolIconEngine.h
    theme/TextStyle.h
    theme/TextStyles.cpp
    theme/TextStyles.h
    theme/SymbolView.cpp
    theme/SymbolView.h
    theme/StyledLabel.cpp
    theme/StyledLabel.h
    theme/ProminentButton.cpp
    theme/ProminentButton.h
    theme/ProportionBar.cpp
    theme/ProportionBar.h
    theme/RoundedPanel.cpp
    theme/RoundedPanel.h
    theme/ToolbarSurface.cpp
    theme/ToolbarSurface.h
    theme/icons/theme_icons.qrc
)
