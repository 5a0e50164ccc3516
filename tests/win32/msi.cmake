# The Windows Installer package read back with msiinfo, in two versions built
# the way the `package` target builds it: the release, and an older one from
# the same drelvan.wxs (`cpack -D CPACK_PACKAGE_VERSION=...`), which the Wine
# test (tst_win32_msi) installs, upgrades and removes.
#   cmake -DBUILD=... -DCPACK=... -DMSIINFO=... -DRELEASE=... -DOLDER=... -DWORK=... -P msi.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(msiinfo package what out)
    execute_process(COMMAND ${MSIINFO} ${what} ${package} ${ARGN} OUTPUT_VARIABLE text COMMAND_ERROR_IS_FATAL ANY)
    string(REPLACE "\r\n" "\n" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Each row: a line that the export of a table must hold, its text as the
# database's code page gives it back. The UpgradeCode is the one every
# Drelvan package ever shipped carries.
set(rows
    "Property|ProductName\tDrelvan"
    "Property|Manufacturer\tthe Drelvan authors"
    "Property|ProductLanguage\t1026"
    "Property|UpgradeCode\t{E9ACB067-7464-4F1C-B71A-4CF3F4C95D26}"
    "Property|ALLUSERS\t1"
    "Property|ARPPRODUCTICON\tdrelvan.ico"
    "Property|ARPURLINFOABOUT\thttps://drelvan.example"
    "Property|REBOOT\tReallySuppress"
    "_ForceCodepage|1251\t_ForceCodepage"
    "LaunchCondition|NOT WIX_DOWNGRADE_DETECTED\tВече е инсталирана по-нова версия на Drelvan.")

set(codes)
foreach(version ${RELEASE} ${OLDER})
    execute_process(COMMAND ${CPACK} -G External -D CPACK_PACKAGE_VERSION=${version} -B ${WORK}
        WORKING_DIRECTORY ${BUILD} RESULT_VARIABLE failed OUTPUT_VARIABLE log ERROR_VARIABLE log)
    set(msi ${WORK}/drelvan-${version}-x64.msi)
    if(failed OR NOT EXISTS ${msi})
        message(FATAL_ERROR "cpack -G External made no ${msi}:\n${log}")
    endif()
    foreach(row ${rows} "Property|ProductVersion\t${version}")
        string(REPLACE "|" ";" row "${row}")
        list(GET row 0 table)
        list(GET row 1 line)
        msiinfo(${msi} export text ${table})
        string(FIND "\n${text}" "\n${line}\n" at)
        if(at LESS 0)
            message(SEND_ERROR "${msi}: ${table} lacks \"${line}\":\n${text}")
        endif()
    endforeach()

    msiinfo(${msi} suminfo text)
    if(NOT text MATCHES "\nTemplate: x64;1026\n")
        message(SEND_ERROR "${msi}: the summary names no Bulgarian x64 package:\n${text}")
    endif()

    # All users' Start menu, with ALLUSERS=1.
    msiinfo(${msi} export text Shortcut)
    if(NOT text MATCHES "\nStartMenu\tProgramMenuFolder\tDrelvan\tProgram\t")
        message(SEND_ERROR "${msi}: no shortcut Drelvan in ProgramMenuFolder:\n${text}")
    endif()

    # The program and its licence, and nothing that runs code of its own,
    # writes to the registry or restarts the machine.
    msiinfo(${msi} export files File)
    string(REGEX MATCHALL "\n[^\t\n]+\tProgram\t" files "${files}")
    list(SORT files)
    if(NOT files STREQUAL "\nLICENSE.txt\tProgram\t;\ndrelvan.exe\tProgram\t")
        message(SEND_ERROR "${msi} installs ${files}")
    endif()
    foreach(table CustomAction Registry)
        msiinfo(${msi} export content ${table})
        string(REGEX REPLACE "^[^\n]*\n[^\n]*\n[^\n]*\n" "" rows_left "${content}")
        if(NOT rows_left STREQUAL "")
            message(SEND_ERROR "${msi}: ${table} has rows:\n${rows_left}")
        endif()
    endforeach()
    msiinfo(${msi} export sequence InstallExecuteSequence)
    if(sequence MATCHES "Reboot")
        message(SEND_ERROR "${msi} may restart the machine:\n${sequence}")
    endif()

    msiinfo(${msi} export text Property)
    string(REGEX MATCH "\nProductCode\t([^\n]+)" code "${text}")
    list(APPEND codes "${CMAKE_MATCH_1}")
endforeach()
# Two versions, two products of the one family.
list(REMOVE_DUPLICATES codes)
list(LENGTH codes count)
if(NOT count EQUAL 2)
    message(SEND_ERROR "both versions have the product code ${codes}")
endif()
