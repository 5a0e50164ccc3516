# Builds the Debian package of the build tree BUILD in WORK with CPACK and
# checks its control fields and contents. APP_ID is the application id,
# VERSION the release.
include(${CMAKE_CURRENT_LIST_DIR}/layout.cmake)

# CPack's Debian generator needs dpkg-deb, and dpkg-shlibdeps for the
# dependencies; without them the test says that it is skipped.
foreach(tool dpkg-deb dpkg-shlibdeps)
    find_program(found_${tool} ${tool})
    if(NOT found_${tool})
        message("Skipped: ${tool} is not installed")
        return()
    endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND "${CPACK}" -G DEB --config "${BUILD}/CPackConfig.cmake" -B "${WORK}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cpack -G DEB failed (${result}):\n${output}")
endif()
file(GLOB deb "${WORK}/*.deb")
list(LENGTH deb count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "cpack made ${count} packages in ${WORK}, not one:\n${output}")
endif()

function(dpkg_deb option out)
    execute_process(COMMAND dpkg-deb ${option} "${deb}"
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "dpkg-deb ${option} ${deb} failed (${result}): ${error}")
    endif()
    set(${out} "${output}" PARENT_SCOPE)
endfunction()

set(faults)
macro(fault text)
    list(APPEND faults "${text}")
endmacro()

# Control fields as field_<name>, first lines only: the long description is
# of no concern here.
dpkg_deb(-f control)
string(REPLACE "\n" ";" lines "${control}")
foreach(line IN LISTS lines)
    if(line MATCHES "^([A-Za-z-]+): (.*)$")
        string(MAKE_C_IDENTIFIER "${CMAKE_MATCH_1}" name)
        set(field_${name} "${CMAKE_MATCH_2}")
    endif()
endforeach()

foreach(check
        "Package|drelvan"
        "Version|${VERSION}"
        "Section|education"
        "Maintainer|Drelvan developers <dev@drelvan.example>")
    string(REPLACE "|" ";" check "${check}")
    list(GET check 0 name)
    list(GET check 1 expected)
    if(NOT field_${name} STREQUAL expected)
        fault("${name} is '${field_${name}}', not '${expected}'")
    endif()
endforeach()
# Found by dpkg-shlibdeps from the program's libraries, not written by hand.
foreach(library libqt6widgets6 libqt6gui6 libqt6core6 libc6)
    if(NOT ", ${field_Depends}," MATCHES ", ${library}[ ,]")
        fault("Depends lacks ${library}: '${field_Depends}'")
    endif()
endforeach()
# The face that the fixed layout is measured in, where Times New Roman is
# missing; as a mere recommendation it is left out of many installs.
if(NOT ", ${field_Depends}," MATCHES ", fonts-liberation2[ ,]")
    fault("Depends lacks fonts-liberation2: '${field_Depends}'")
endif()
if(NOT field_Recommends STREQUAL "qt6-translations-l10n")
    fault("Recommends is not qt6-translations-l10n: '${field_Recommends}'")
endif()
if("${field_Description}" STREQUAL "")
    fault("the package has no description")
endif()

# Contents: each file in its place under /usr, the program executable,
# everything owned by root, nothing outside /usr.
dpkg_deb(-c contents)
string(REPLACE "\n" ";" entries "${contents}")
foreach(file IN LISTS drelvan_files)
    set(mode)
    foreach(entry IN LISTS entries)
        if(entry MATCHES "^([-a-z]+) ([^ ]+) .* \\./usr/${file}$")
            set(mode "${CMAKE_MATCH_1}")
            set(owner "${CMAKE_MATCH_2}")
        endif()
    endforeach()
    if(NOT mode)
        fault("/usr/${file} is not in the package")
    elseif(NOT owner STREQUAL "root/root")
        fault("/usr/${file} belongs to ${owner}")
    elseif(file STREQUAL drelvan_program AND NOT mode STREQUAL "-rwxr-xr-x")
        fault("/usr/${file} has mode ${mode}")
    endif()
endforeach()
foreach(entry IN LISTS entries)
    if(entry MATCHES " (\\./[^ ]*)$" AND NOT CMAKE_MATCH_1 MATCHES "^\\./(usr/.*)?$")
        fault("${CMAKE_MATCH_1} lies outside /usr")
    endif()
endforeach()

if(faults)
    list(JOIN faults "\n" faults)
    message(FATAL_ERROR "In ${deb}:\n${faults}\n\nControl:\n${control}\nContents:\n${contents}")
endif()
