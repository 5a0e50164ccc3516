# Windows tests run under Wine (scripts/wine-run, the toolchain's emulator) in
# one private prefix for the whole test run, made first and removed last
# (tests/win32/CMakeLists.txt); the tests take turns in it. A hung Wine
# program (a dialog nobody sees on the private X server, a stuck wineserver)
# fails its test rather than holding up the run: each has a time limit of
# five minutes, about ten times what the slowest takes here.
set(DRELVAN_WINEPREFIX ${PROJECT_BINARY_DIR}/tests/win32/wineprefix)

function(drelvan_under_wine)
    set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine_prefix TIMEOUT 300)
    set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT DRELVAN_WINEPREFIX=${DRELVAN_WINEPREFIX})
endfunction()
