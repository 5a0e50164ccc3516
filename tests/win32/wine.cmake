# Windows tests run under Wine (scripts/wine-run, the toolchain's emulator) in
# one private prefix for the whole test run, made first and removed last
# (tests/win32/CMakeLists.txt); the tests take turns in it. A hung Wine
# program fails its test rather than the whole run: each has a time limit,
# ten times what it takes here.
set(DRELVAN_WINEPREFIX ${PROJECT_BINARY_DIR}/tests/win32/wineprefix)

# A Wine that hangs (a dialog nobody sees on the private X server, a stuck
# wineserver) fails its test after five minutes rather than holding up the run.
function(drelvan_under_wine)
    set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine_prefix TIMEOUT 300)
    set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT DRELVAN_WINEPREFIX=${DRELVAN_WINEPREFIX})
endfunction()
