# Checks of the desktop integration files, run by the data_* tests in script mode:
#   cmake -DMODE=desktop-entry -DFILE=<id>.desktop -P CheckDesktopData.cmake
#   cmake -DMODE=metainfo -DFILE=<id>.metainfo.xml -P CheckDesktopData.cmake
#   cmake -DMODE=icon -DFILE=<id>.svg -P CheckDesktopData.cmake
#   cmake -DMODE=install -DBUILD_DIR=<build> -DCONFIG=<config> -DPREFIX=<folder> -DAPP_ID=<id>
#         -DVERSION=<version> -DBINDIR=<bin dir> -DDATADIR=<data dir> -P CheckDesktopData.cmake
#   cmake -DMODE=installed-tree -DPREFIX=<folder> -P CheckDesktopData.cmake
# Any problem ends the script with an error, which fails the test.
cmake_minimum_required(VERSION 3.25)

function(check_fail)
    string(JOIN "" message ${ARGN})
    message(FATAL_ERROR "${message}")
endfunction()

function(find_tool out_var program package)
    find_program(tool_path ${program} NO_CACHE)
    if(NOT tool_path)
        check_fail("${program} not found: install the ${package} package")
    endif()
    set(${out_var} ${tool_path} PARENT_SCOPE)
endfunction()

function(require_file path)
    if(NOT EXISTS "${path}" OR IS_DIRECTORY "${path}")
        check_fail("missing file: ${path}")
    endif()
endfunction()

# Fails unless the first bytes of a file are the given ones (lowercase hex).
function(require_magic path magic what)
    string(LENGTH "${magic}" hex_length)
    math(EXPR byte_count "${hex_length} / 2")
    file(READ "${path}" head LIMIT ${byte_count} HEX)
    if(NOT head STREQUAL magic)
        check_fail("${path} is not ${what} (starts with ${head})")
    endif()
endfunction()

# Sets out_var to the value of a key of the [Desktop Entry] group, or fails if it is absent.
function(desktop_value out_var content key)
    if(NOT content MATCHES "\n${key}=([^\n]*)")
        check_fail("the desktop entry has no ${key} key")
    endif()
    set(${out_var} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

# Runs appstreamcli (validate or validate-tree) on a path. Errors and warnings fail; so do
# infos, except those about how the developer is declared: AppStream before 1.0 (Debian 12 has
# 0.16) does not know <developer>, and 1.0 deprecates <developer_name>. The file carries both so
# that every version shows the developer.
function(run_appstream subcommand path)
    find_tool(appstreamcli appstreamcli appstream)
    execute_process(COMMAND ${appstreamcli} ${subcommand} --no-net "${path}"
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    message("${output}")
    if(NOT result EQUAL 0)
        check_fail("appstreamcli ${subcommand} failed (${result})")
    endif()
    string(REGEX MATCHALL "(^|\n) *[EWI]: [^\n]*" issues "${output}")
    foreach(issue IN LISTS issues)
        if(NOT issue MATCHES ": (unknown-tag developer|developer-name-tag-deprecated)( |$)")
            string(STRIP "${issue}" issue)
            check_fail("unexpected appstreamcli issue: ${issue}")
        endif()
    endforeach()
endfunction()

if(MODE STREQUAL "desktop-entry")
    find_tool(validator desktop-file-validate desktop-file-utils)
    require_file("${FILE}")
    execute_process(COMMAND ${validator} "${FILE}"
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    # It prints nothing for a clean file; hints and warnings count as failures too.
    if(NOT result EQUAL 0 OR NOT output STREQUAL "")
        check_fail("desktop-file-validate (${result}):\n${output}")
    endif()

elseif(MODE STREQUAL "metainfo")
    require_file("${FILE}")
    run_appstream(validate "${FILE}")
    # The licence the metadata declares is the one the source tree carries.
    require_file("${LICENSE_FILE}")
    file(READ "${FILE}" metainfo)
    if(NOT metainfo MATCHES "<project_license>([^<]*)</project_license>")
        check_fail("${FILE}: no <project_license>")
    endif()
    set(declared "${CMAKE_MATCH_1}")
    file(STRINGS "${LICENSE_FILE}" licence_lines LIMIT_COUNT 3)
    list(GET licence_lines 0 licence_title)
    if(NOT licence_title STREQUAL "${declared} License")
        check_fail("${FILE} declares ${declared}, ${LICENSE_FILE} is \"${licence_title}\"")
    endif()
    if(NOT licence_lines MATCHES "Copyright \\(c\\) [0-9]+ Plenvo")
        check_fail("${LICENSE_FILE} names no year and Plenvo in its copyright line")
    endif()

elseif(MODE STREQUAL "icon")
    # Icon themes and software centres render the file with simple SVG renderers: it must be
    # self-contained, with no text (fonts differ), scripts or embedded or linked pictures.
    require_file("${FILE}")
    file(READ "${FILE}" svg)
    if(NOT svg MATCHES "<svg[^>]*xmlns=\"http://www.w3.org/2000/svg\"")
        check_fail("${FILE}: no <svg> root in the SVG namespace")
    endif()
    if(NOT svg MATCHES "<svg[^>]*viewBox=\"0 0 ([0-9.]+) ([0-9.]+)\"")
        check_fail("${FILE}: the <svg> root has no viewBox")
    endif()
    if(NOT CMAKE_MATCH_1 STREQUAL CMAKE_MATCH_2)
        check_fail("${FILE}: the viewBox is not square")
    endif()
    string(STRIP "${svg}" trimmed)
    if(NOT trimmed MATCHES "</svg>$")
        check_fail("${FILE}: does not end with </svg>")
    endif()
    foreach(element image script text foreignObject)
        if(svg MATCHES "<${element}[ />]")
            check_fail("${FILE}: contains a <${element}> element")
        endif()
    endforeach()
    if(svg MATCHES "href=[\"'][^#]" OR svg MATCHES "url\\([^#]" OR svg MATCHES "@import")
        check_fail("${FILE}: refers to something outside the file")
    endif()

elseif(MODE STREQUAL "install")
    # Start from an empty folder, so that files left by an earlier run cannot pass the checks.
    file(REMOVE_RECURSE "${PREFIX}")
    set(ENV{DESTDIR} "")
    set(config_args)
    if(CONFIG)
        set(config_args --config "${CONFIG}")
    endif()
    execute_process(
        COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" ${config_args} --prefix "${PREFIX}"
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        check_fail("cmake --install failed (${result}); is the build complete?\n${output}")
    endif()

    set(bin "${PREFIX}/${BINDIR}")
    set(share "${PREFIX}/${DATADIR}")
    require_file("${bin}/plenvo")
    require_magic("${bin}/plenvo" "7f454c46" "an ELF executable")

    # The string bundle the program loads next to its binary.
    set(bundle "${share}/plenvo/Plenvo_Plenvo.bundle")
    foreach(language en zh_CN)
        require_file("${bundle}/plenvo_${language}.qm")
        require_magic("${bundle}/plenvo_${language}.qm" "3cb86418caef9c95cd211cbf60a1bddd"
            "a compiled Qt translation")
    endforeach()

    # The desktop entry: its Exec program and Icon must be what was installed.
    set(desktop "${share}/applications/${APP_ID}.desktop")
    require_file("${desktop}")
    file(READ "${desktop}" entry)
    desktop_value(exec "${entry}" Exec)
    separate_arguments(exec_words UNIX_COMMAND "${exec}")
    list(GET exec_words 0 exec_program)
    require_file("${bin}/${exec_program}")
    desktop_value(mime_types "${entry}" MimeType)
    if(mime_types MATCHES "inode/directory" AND NOT exec MATCHES "%[fFuU]")
        check_fail("Exec=${exec} passes no folder although MimeType lists inode/directory")
    endif()
    desktop_value(icon "${entry}" Icon)
    if(NOT icon STREQUAL APP_ID)
        check_fail("Icon=${icon}, expected ${APP_ID}")
    endif()
    require_file("${share}/icons/hicolor/scalable/apps/${icon}.svg")

    # The AppStream metadata: same id, launches the entry, names the installed program, and
    # its latest release is this version.
    set(metainfo "${share}/metainfo/${APP_ID}.metainfo.xml")
    require_file("${metainfo}")
    file(READ "${metainfo}" component)
    if(NOT component MATCHES "<id>([^<]*)</id>" OR NOT CMAKE_MATCH_1 STREQUAL APP_ID)
        check_fail("the metainfo id is '${CMAKE_MATCH_1}', expected ${APP_ID}")
    endif()
    if(NOT component MATCHES "<launchable type=\"desktop-id\">([^<]*)</launchable>"
       OR NOT CMAKE_MATCH_1 STREQUAL "${APP_ID}.desktop")
        check_fail("the metainfo launchable is '${CMAKE_MATCH_1}', expected ${APP_ID}.desktop")
    endif()
    if(NOT component MATCHES "<binary>([^<]*)</binary>")
        check_fail("the metainfo provides no binary")
    endif()
    require_file("${bin}/${CMAKE_MATCH_1}")
    if(NOT component MATCHES "<release [^>]*version=\"([^\"]*)\"" OR NOT CMAKE_MATCH_1 STREQUAL VERSION)
        check_fail("the latest release in the metainfo is '${CMAKE_MATCH_1}', the project "
                   "version is ${VERSION}: add a <release> for it")
    endif()

elseif(MODE STREQUAL "installed-tree")
    if(NOT IS_DIRECTORY "${PREFIX}")
        check_fail("${PREFIX} is missing: data_install creates it")
    endif()
    run_appstream(validate-tree "${PREFIX}")

else()
    check_fail("unknown MODE '${MODE}'")
endif()
