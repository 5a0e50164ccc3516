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

# A table's rows without its three lines of header (names, types, table).
# Not by REGEX REPLACE "^...": CMake anchors ^ anew at every match, and would
# take rows away three at a time.
function(table_rows text out)
    string(REGEX MATCH "^[^\n]*\n[^\n]*\n[^\n]*\n" header "${text}")
    string(LENGTH "${header}" length)
    string(SUBSTRING "${text}" ${length} -1 rows)
    set(${out} "${rows}" PARENT_SCOPE)
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

    # The program, its licence and the examples, and nothing that runs code
    # of its own.
    msiinfo(${msi} export files File)
    string(REGEX MATCHALL "\n[^\t\n]+\t(Program|Examples)\t" files "${files}")
    list(SORT files)
    if(NOT files STREQUAL "\nLICENSE.txt\tProgram\t;\ndrelvan.exe\tProgram\t;\nkhans.csv\tExamples\t;\nkhans.kvtml\tExamples\t")
        message(SEND_ERROR "${msi} installs ${files}")
    endif()
    msiinfo(${msi} export directories Directory)
    if(NOT directories MATCHES "\nEXAMPLES\tINSTALLDIR\texamples\n")
        message(SEND_ERROR "${msi}: no folder examples beside drelvan.exe:\n${directories}")
    endif()
    msiinfo(${msi} export content CustomAction)
    table_rows("${content}" rows_left)
    if(NOT rows_left STREQUAL "")
        message(SEND_ERROR "${msi}: CustomAction has rows:\n${rows_left}")
    endif()
    # The registry: Drelvan offered by "Open with" for the three types, and
    # nothing more. The default of an extension's own key says which program
    # opens its files on a double click: the package never writes one.
    msiinfo(${msi} export registry Registry)
    table_rows("${registry}" registry)
    string(REGEX REPLACE "\n[^\t\n]*\t" "\n" registry "\n${registry}")
    string(STRIP "${registry}" registry)
    string(REPLACE ";" "\\;" registry "${registry}")
    string(REPLACE "\n" ";" registry "${registry}")
    list(SORT registry)
    foreach(row IN LISTS registry)
        if(row MATCHES "^[0-9]+\t(Software\\\\Classes\\\\)?\\.[a-z]+\t\t")
            message(SEND_ERROR "${msi} sets the default of an extension: ${row}")
        endif()
    endforeach()
    set(apps "Software\\Classes\\Applications\\drelvan.exe")
    set(progid "Software\\Classes\\Drelvan.Pairs")
    set(command "\"[INSTALLDIR]drelvan.exe\" \"%1\"")
    set(expected
        "2\t${apps}\tFriendlyAppName\tDrelvan\tOpenWith"
        "2\t${apps}\\SupportedTypes\t.csv\t\tOpenWith"
        "2\t${apps}\\SupportedTypes\t.kvtml\t\tOpenWith"
        "2\t${apps}\\SupportedTypes\t.tsv\t\tOpenWith"
        "2\t${apps}\\shell\\open\\command\t\t${command}\tOpenWith"
        "2\t${progid}\t\tДвойки за Drelvan\tOpenWith"
        "2\t${progid}\\DefaultIcon\t\t[INSTALLDIR]drelvan.exe,0\tOpenWith"
        "2\t${progid}\\shell\\open\\command\t\t${command}\tOpenWith")
    foreach(extension csv kvtml tsv)
        list(APPEND expected "2\tSoftware\\Classes\\.${extension}\\OpenWithProgids\tDrelvan.Pairs\t\tOpenWith")
    endforeach()
    list(SORT expected)
    if(NOT registry STREQUAL expected)
        list(JOIN registry "\n" registry)
        list(JOIN expected "\n" expected)
        message(SEND_ERROR "${msi}: the Registry table holds\n${registry}\nrather than\n${expected}")
    endif()
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
