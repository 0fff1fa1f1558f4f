# Formatting and localization
target_sources(plenvo-core PRIVATE
    utils/StringFormatter.cpp utils/StringFormatter.h
    utils/Localization.cpp utils/Localization.h
    utils/FormatUtils.cpp utils/FormatUtils.h
    utils/FileUri.cpp utils/FileUri.h
    utils/DisplayText.cpp utils/DisplayText.h
    utils/ShellQuote.cpp utils/ShellQuote.h
    utils/ContainingFolders.cpp utils/ContainingFolders.h
)

# Translation catalogs, keyed by message id (the key itself, placeholders included). lrelease
# compiles them at build time into resources under :/i18n/ of plenvo-core. For a static
# library, Qt puts the resources in object libraries that every executable linking plenvo-core
# links in as well, so the catalogs are always present.
#
# The catalogs are edited by hand: the code uses its own L() rather than qtTrId(), so the
# plenvo-core_lupdate target that qt_add_translations also defines finds no messages in the
# sources. Do not run it (or update_translations) on these files.
set(PLENVO_TS_FILES
    ${CMAKE_CURRENT_SOURCE_DIR}/i18n/plenvo_en.ts
    ${CMAKE_CURRENT_SOURCE_DIR}/i18n/plenvo_zh_CN.ts
)
qt_add_translations(plenvo-core
    TS_FILES ${PLENVO_TS_FILES}
    LRELEASE_OPTIONS -idbased
    RESOURCE_PREFIX /i18n
)

# The same catalogs installed as the secondary string bundle, which the program finds at
# <bin>/../share/plenvo/Plenvo_Plenvo.bundle. lrelease writes each .qm into this directory's
# build folder, named after its .ts file.
set(PLENVO_QM_FILES)
foreach(ts_file IN LISTS PLENVO_TS_FILES)
    get_filename_component(qm_name ${ts_file} NAME_WLE)
    list(APPEND PLENVO_QM_FILES ${CMAKE_CURRENT_BINARY_DIR}/${qm_name}.qm)
endforeach()
install(FILES ${PLENVO_QM_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/plenvo/Plenvo_Plenvo.bundle)
