# drelvan-<version>-x64.msi from drelvan.wxs: CPack's External generator runs
# this script (`cpack -G External`, and the `package` target) once it has
# staged the installed tree in CPACK_TEMPORARY_DIRECTORY. The version is
# CPACK_PACKAGE_VERSION, the release unless `cpack -D` says otherwise, as the
# upgrade tests do to build older and newer packages from the same file.

# Bulgarian, and the code page its texts are stored in.
set(language 1026)
set(codepage 1251)
set(version ${CPACK_PACKAGE_VERSION})
# Windows Installer compares three numbers, each within its range.
if(NOT version MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$" OR CMAKE_MATCH_1 GREATER 255
   OR CMAKE_MATCH_2 GREATER 255 OR CMAKE_MATCH_3 GREATER 65535)
    message(FATAL_ERROR "${version} is no Windows Installer version (0-255.0-255.0-65535)")
endif()
# A product code of its own for each version, the same each time that
# version is built: the release built twice is one product, and installing
# it again is not taken for an upgrade that leaves two entries.
string(UUID product_code NAMESPACE ${CPACK_DRELVAN_MSI_UPGRADE_CODE} NAME ${version} TYPE SHA1 UPPER)

# wixl takes no absolute paths: it runs in the staged tree and finds the
# icon from there.
file(RELATIVE_PATH icon ${CPACK_TEMPORARY_DIRECTORY} ${CPACK_DRELVAN_ICON})
set(msi ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_NAME}-${version}-x64.msi)
file(REMOVE ${msi})
execute_process(
    COMMAND ${CPACK_DRELVAN_WIXL} --arch x64 --output ${msi}
        -D Version=${version}
        -D ProductCode=${product_code}
        -D UpgradeCode=${CPACK_DRELVAN_MSI_UPGRADE_CODE}
        -D Language=${language}
        -D Codepage=${codepage}
        -D Manufacturer=${CPACK_PACKAGE_VENDOR}
        -D WebAddress=${CPACK_PACKAGE_HOMEPAGE_URL}
        -D Icon=${icon}
        ${CPACK_DRELVAN_WXS}
    WORKING_DIRECTORY ${CPACK_TEMPORARY_DIRECTORY}
    COMMAND_ERROR_IS_FATAL ANY)

# What wixl leaves undone: the database's code page (an IDT file of two
# empty lines and "codepage<TAB>_ForceCodepage"), then the text that needs
# it, and the summary's template, whose language wixl writes as 1033.
set(idt ${CPACK_TOPLEVEL_DIRECTORY}/_ForceCodepage.idt)
file(WRITE ${idt} "\r\n\r\n${codepage}\t_ForceCodepage\r\n")
set(message "Вече е инсталирана по-нова версия на Drelvan.")
execute_process(
    COMMAND ${CPACK_DRELVAN_MSIBUILD} ${msi} -i ${idt}
    COMMAND_ERROR_IS_FATAL ANY)
execute_process(
    COMMAND ${CPACK_DRELVAN_MSIBUILD} ${msi} -q
        "UPDATE `LaunchCondition` SET `Description` = '${message}' WHERE `Condition` = 'NOT WIX_DOWNGRADE_DETECTED'"
    COMMAND_ERROR_IS_FATAL ANY)
# The name of a teacher's files under Drelvan's own ProgID, shown should a
# user make Drelvan their default.
set(pairs_name "Двойки за Drelvan")
execute_process(
    COMMAND ${CPACK_DRELVAN_MSIBUILD} ${msi} -q
        "UPDATE `Registry` SET `Value` = '${pairs_name}' WHERE `Key` = 'Software\\Classes\\Drelvan.Pairs' AND `Name` IS NULL"
    COMMAND_ERROR_IS_FATAL ANY)
execute_process(
    COMMAND ${CPACK_DRELVAN_MSIBUILD} ${msi} -s "Drelvan ${version}" ${CPACK_PACKAGE_VENDOR} "x64;${language}"
    COMMAND_ERROR_IS_FATAL ANY)

set(CPACK_EXTERNAL_BUILT_PACKAGES ${msi})
