# Composes the software-centre catalogue from the installed tree ROOT, as a
# distribution's archive does from the package, into WORK, and fails unless
# the program's component is in it with its icons, free of problems.
# APPSTREAMCLI and COMPOSE are the programs found (COMPOSE is the helper
# that `appstreamcli compose` runs, packaged apart); APP_ID is the
# application id. Without them the test says that it is skipped.
if(NOT APPSTREAMCLI OR NOT COMPOSE)
    message("Skipped: appstreamcli compose is not installed (Debian: appstream-compose)")
    return()
endif()

file(REMOVE_RECURSE "${WORK}")
# The tree is installed with its prefix at ROOT itself, not ROOT/usr.
execute_process(COMMAND "${APPSTREAMCLI}" compose --no-net --no-color --print-report=full
        --prefix=/ --origin=drelvan --result-root=${WORK} "${ROOT}"
    RESULT_VARIABLE result OUTPUT_VARIABLE report ERROR_VARIABLE report)

set(faults)
if(NOT result EQUAL 0)
    list(APPEND faults "appstreamcli compose failed (${result})")
endif()
# The report is coloured even with --no-color.
string(ASCII 27 escape)
string(REGEX REPLACE "${escape}\\[[0-9;]*m" "" report "${report}")
# Every hint fails the test but one: the validator does not know the
# top-level domain "example" of the id.
string(REGEX MATCHALL "\n *[EWIP]: [a-z0-9-]+" hints "${report}")
foreach(hint IN LISTS hints)
    string(STRIP "${hint}" hint)
    if(NOT hint STREQUAL "I: asv-cid-maybe-not-rdns")
        list(APPEND faults "hint ${hint}")
    endif()
endforeach()

set(catalogue "${WORK}/share/swcatalog/xml/drelvan.xml.gz")
if(EXISTS "${catalogue}")
    execute_process(COMMAND gzip -dc "${catalogue}" OUTPUT_VARIABLE xml RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        list(APPEND faults "cannot read ${catalogue}")
    endif()
else()
    list(APPEND faults "no catalogue: ${catalogue}")
endif()
# What a software centre shows of the program.
foreach(element
        "<id>${APP_ID}</id>"
        "<icon type=\"cached\" width=\"64\" height=\"64\">"
        "<icon type=\"cached\" width=\"128\" height=\"128\">"
        "<screenshot type=\"default\">"
        "<lang percentage=\"100\">bg</lang>")
    string(FIND "${xml}" "${element}" at)
    if(at EQUAL -1)
        list(APPEND faults "the catalogue lacks ${element}")
    endif()
endforeach()

if(faults)
    list(JOIN faults "\n" faults)
    message(FATAL_ERROR "${faults}\n\nReport:\n${report}\nCatalogue:\n${xml}")
endif()
