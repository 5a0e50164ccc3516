# Runs lintian over the Debian package in WORK as Debian's archive would,
# with its pedantic tags shown. Errors, warnings and infos fail the test:
# the loss of the hardening flags shows only as infos (hardening-no-bindnow,
# hardening-no-fortify-functions). The package overrides one tag, with its
# reason: packaging/debian/lintian-overrides. LINTIAN is the
# program found; without it the test says that it is skipped.
if(NOT LINTIAN)
    message("Skipped: lintian is not installed")
    return()
endif()
file(GLOB deb "${WORK}/*.deb")
if(NOT deb)
    message(FATAL_ERROR "no Debian package in ${WORK}")
endif()
execute_process(COMMAND "${LINTIAN}" --pedantic --display-info --fail-on error,warning,info
        --tag-display-limit 0 --color never ${deb}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "lintian (${result}) on ${deb}:\n${output}")
endif()
message("${output}")
