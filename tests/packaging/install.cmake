# Installs the build tree BUILD into ROOT, emptied first so that nothing left
# over from an earlier run can stand in for a file that is no longer
# installed.
file(REMOVE_RECURSE "${ROOT}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${ROOT}"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install ${BUILD} --prefix ${ROOT} failed: ${result}")
endif()
