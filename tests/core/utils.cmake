# Localized texts and the locale's forms of values: the translation sources are checked against
# the key list and the keys the code uses; the lookup runs from a folder of its own, with a
# secondary string bundle beside the executable (compiled here from test catalogs), which is
# where the program looks first.
plenvo_add_test(tst_localization SOURCES tst_localization.cpp LIBS plenvo-core)
target_compile_definitions(tst_localization PRIVATE
    PLENVO_CODE_DIR="${CMAKE_SOURCE_DIR}/src"
    PLENVO_I18N_DIR="${CMAKE_SOURCE_DIR}/src/core/i18n"
)
set(PLENVO_L10N_TEST_DIR ${CMAKE_CURRENT_BINARY_DIR}/localization)
set_target_properties(tst_localization PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PLENVO_L10N_TEST_DIR})
set(PLENVO_L10N_TEST_TS
    ${CMAKE_CURRENT_SOURCE_DIR}/data/l10n/plenvo_en.ts
    ${CMAKE_CURRENT_SOURCE_DIR}/data/l10n/plenvo_zh_CN.ts
)
set_source_files_properties(${PLENVO_L10N_TEST_TS} PROPERTIES
    OUTPUT_LOCATION ${PLENVO_L10N_TEST_DIR}/Plenvo_Plenvo.bundle)
qt_add_lrelease(tst_localization TS_FILES ${PLENVO_L10N_TEST_TS} OPTIONS -idbased NO_GLOBAL_TARGET)

# Locations as text: the shell-quoted form of a copied path, the folders opened for a reveal.
plenvo_add_test(tst_pathtext SOURCES tst_pathtext.cpp LIBS plenvo-core)
