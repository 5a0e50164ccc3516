# Checks the installed tree under ROOT: every file in its place, and the
# desktop entry, metainfo and icon pointing at one another and at the
# program. The validators check each file's form; this checks that they
# agree. APP_ID is the application id, VERSION the release, ICON the source
# picture, WORK a folder of its own for the file types' database.
include(${CMAKE_CURRENT_LIST_DIR}/layout.cmake)

set(faults)
macro(fault text)
    list(APPEND faults "${text}")
endmacro()
# Missing files stop the check before their contents are read.
macro(stop_at_faults)
    if(faults)
        list(JOIN faults "\n" faults)
        message(FATAL_ERROR "In ${ROOT}:\n${faults}")
    endif()
endmacro()

foreach(file IN LISTS drelvan_files)
    if(NOT EXISTS "${ROOT}/${file}")
        fault("${file} is not installed")
    endif()
endforeach()
stop_at_faults()

file(READ "${ROOT}/${drelvan_program}" magic LIMIT 4 HEX)
if(NOT magic STREQUAL "7f454c46")
    fault("${drelvan_program} is not an ELF program")
endif()

# The icon: a PNG whose header says 32 × 32 with an 8-bit palette (colour
# type 3), the very file that the window shows.
file(READ "${ROOT}/${drelvan_icon}" header LIMIT 26 HEX)
string(SUBSTRING "${header}" 0 16 signature)
string(SUBSTRING "${header}" 32 16 size)
string(SUBSTRING "${header}" 48 4 depthAndType)
if(NOT signature STREQUAL "89504e470d0a1a0a")
    fault("${drelvan_icon} is not a PNG file")
elseif(NOT size STREQUAL "0000002000000020")
    fault("${drelvan_icon} is not 32 × 32 (width and height: ${size})")
elseif(NOT depthAndType STREQUAL "0803")
    fault("${drelvan_icon} is not an 8-bit palette image (depth and colour type: ${depthAndType})")
endif()
file(SHA256 "${ROOT}/${drelvan_icon}" installed)
file(SHA256 "${ICON}" source)
if(NOT installed STREQUAL source)
    fault("${drelvan_icon} differs from ${ICON}")
endif()

# The desktop entry's keys as entry_<key>, with a locale's brackets made
# underscores: Name[bg] is entry_Name_bg_.
file(STRINGS "${ROOT}/${drelvan_desktop_entry}" lines ENCODING UTF-8)
set(group)
foreach(line IN LISTS lines)
    if(line MATCHES "^\\[(.*)\\]$")
        set(group "${CMAKE_MATCH_1}")
    elseif(group STREQUAL "Desktop Entry" AND line MATCHES "^([A-Za-z0-9-]+(\\[[^]]+\\])?)=(.*)$")
        string(MAKE_C_IDENTIFIER "${CMAKE_MATCH_1}" key)
        set(entry_${key} "${CMAKE_MATCH_3}")
    endif()
endforeach()

foreach(key Name Name[bg] GenericName GenericName[bg] Comment Comment[bg])
    string(MAKE_C_IDENTIFIER "${key}" id)
    if("${entry_${id}}" STREQUAL "")
        fault("the desktop entry has no ${key}")
    endif()
endforeach()
if(NOT entry_Name STREQUAL "Drelvan")
    fault("the desktop entry's Name is '${entry_Name}', not Drelvan")
endif()
string(REGEX REPLACE " .*" "" program "${entry_Exec}")
if(program STREQUAL "" OR NOT EXISTS "${ROOT}/bin/${program}")
    fault("the desktop entry runs '${entry_Exec}', which is not in bin/")
endif()
# Qt names a window's X11 instance after the program's file name.
if(NOT entry_StartupWMClass STREQUAL program)
    fault("StartupWMClass '${entry_StartupWMClass}' is not the program's name '${program}'")
endif()
if(NOT entry_Icon STREQUAL APP_ID)
    fault("the desktop entry's icon is '${entry_Icon}', not ${APP_ID}")
endif()
if(NOT entry_Terminal STREQUAL "false")
    fault("the desktop entry does not say Terminal=false")
endif()
# A file manager passes the file a teacher opens.
if(NOT entry_Exec MATCHES " %f$")
    fault("the desktop entry runs '${entry_Exec}', which takes no file (%f)")
endif()
foreach(category Education History)
    if(NOT ";${entry_Categories};" MATCHES ";${category};")
        fault("the desktop entry is not in the category ${category}")
    endif()
endforeach()

file(READ "${ROOT}/${drelvan_metainfo}" metainfo)
foreach(element
        "<id>${APP_ID}</id>"
        "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>"
        "<icon type=\"stock\">${APP_ID}</icon>"
        "<release version=\"${VERSION}\""
        "<summary xml:lang=\"bg\">"
        "<p xml:lang=\"bg\">")
    string(FIND "${metainfo}" "${element}" at)
    if(at EQUAL -1)
        fault("the metainfo lacks ${element}")
    endif()
endforeach()

# Every type the desktop entry opens is in the metainfo, and known to the
# desktop: by the system's shared-mime-info, or by the package's own
# definition, which update-mime-database must take (run here on a copy).
string(REGEX REPLACE ";$" "" types "${entry_MimeType}")
if(NOT types)
    fault("the desktop entry opens no file types")
endif()
set(mime "${WORK}/mime")
file(REMOVE_RECURSE "${mime}")
file(COPY "${ROOT}/${drelvan_mime}" DESTINATION "${mime}/packages")
find_program(UPDATE_MIME_DATABASE update-mime-database)
set(defined)
if(UPDATE_MIME_DATABASE)
    # It reports a file it cannot parse, and a folder outside the search
    # path, on its error output, and returns 0 all the same.
    execute_process(COMMAND "${CMAKE_COMMAND}" -E env "XDG_DATA_DIRS=${WORK}" "${UPDATE_MIME_DATABASE}" "${mime}"
        RESULT_VARIABLE result ERROR_VARIABLE error)
    if(NOT result EQUAL 0 OR error)
        fault("update-mime-database refuses ${drelvan_mime} (${result}): ${error}")
    endif()
    file(STRINGS "${mime}/globs2" defined REGEX "^[0-9]+:")
else()
    message("update-mime-database is not installed: ${drelvan_mime} is not checked")
endif()
foreach(type IN LISTS types)
    string(FIND "${metainfo}" "<mediatype>${type}</mediatype>" at)
    if(at EQUAL -1)
        fault("the metainfo lacks <mediatype>${type}</mediatype>")
    endif()
    if(NOT EXISTS "/usr/share/mime/${type}.xml" AND NOT ";${defined};" MATCHES ":${type}:\\*\\.")
        fault("${type} is neither known to the system nor defined with a glob by ${drelvan_mime}")
    endif()
endforeach()
if(UPDATE_MIME_DATABASE AND NOT ";${defined};" MATCHES ":application/x-kvtml:\\*\\.kvtml;")
    fault("${drelvan_mime} does not give *.kvtml to application/x-kvtml: ${defined}")
endif()

# Debian's tools take the package's version from the control file alone,
# so nothing but this notices a release without its changelog entry.
execute_process(COMMAND gzip -dc "${ROOT}/${drelvan_changelog}"
    OUTPUT_VARIABLE changelog RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    fault("${drelvan_changelog} is not a gzip file")
elseif(NOT changelog MATCHES "^drelvan \\(([^)]*)\\) ")
    fault("${drelvan_changelog} does not begin with an entry for drelvan")
elseif(NOT CMAKE_MATCH_1 STREQUAL VERSION)
    fault("the latest entry of ${drelvan_changelog} is for ${CMAKE_MATCH_1}, not ${VERSION}")
endif()

stop_at_faults()
