# drelvan.exe as one file: a GUI program (no console window), at most 1 MiB,
# importing only DLLs that every Windows 10 and 11 has: the C run-time
# msvcrt.dll and the core of the window system; the C++ run-time and threads
# are linked in. No ADVAPI32: the program has nothing to do with the registry.
#   cmake -DEXE=... -DOBJDUMP=... -P imports.cmake
file(SIZE ${EXE} size)
if(size GREATER 1048576)
    message(FATAL_ERROR "drelvan.exe is ${size} bytes, more than 1 MiB")
endif()
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE headers COMMAND_ERROR_IS_FATAL ANY)
if(NOT headers MATCHES "Subsystem[ \t]+00000002")
    message(FATAL_ERROR "drelvan.exe is not a GUI program")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" dlls "${headers}")
string(REPLACE "DLL Name: " "" dlls "${dlls}")
string(TOUPPER "${dlls}" dlls)
list(SORT dlls)
if(NOT dlls STREQUAL "GDI32.DLL;KERNEL32.DLL;MSVCRT.DLL;USER32.DLL")
    message(FATAL_ERROR "drelvan.exe imports ${dlls}")
endif()
message(STATUS "drelvan.exe: ${size} bytes, imports ${dlls}")
