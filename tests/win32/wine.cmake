# Windows tests run under Wine (scripts/wine-run, the toolchain's emulator) in
# one private prefix for the whole test run, made first and removed last
# (tests/win32/CMakeLists.txt); the tests take turns in it.
set(DRELVAN_WINEPREFIX ${PROJECT_BINARY_DIR}/tests/win32/wineprefix)

function(drelvan_under_wine)
    set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine_prefix)
    set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT DRELVAN_WINEPREFIX=${DRELVAN_WINEPREFIX})
endfunction()
