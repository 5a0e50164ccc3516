# Debian's hardening flags (dpkg-buildflags with hardening=+all) for every
# target defined after this is included: the program links the project's
# static libraries, and a library built without them leaves the hole in the
# program all the same.
#   -fstack-protector-strong    a canary on each frame with an array or an
#                               address taken
#   -D_FORTIFY_SOURCE=2         libc's checked copies of memcpy, sprintf...
#                               (needs optimisation, so not in Debug builds)
#   -Wl,-z,relro -Wl,-z,now     relocations resolved at start, then made
#                               read-only (lintian: hardening-no-bindnow)
#   -fstack-clash-protection, -fcf-protection where the compiler has them.
# None of them applies to WebAssembly, whose stack and calls the engine
# guards: under Emscripten -fstack-clash-protection is a warning (an error
# with -Werror) and -fstack-protector-strong leaves __stack_chk_guard
# undefined at the link.
option(DRELVAN_HARDENING "Build with Debian's hardening flags" ON)
if(NOT DRELVAN_HARDENING OR NOT UNIX OR APPLE OR EMSCRIPTEN
        OR NOT CMAKE_CXX_COMPILER_ID MATCHES "^(GNU|Clang)$")
    return()
endif()

include(CheckCXXCompilerFlag)
add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
foreach(flag -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "DRELVAN_HAS${flag}" has)
    check_cxx_compiler_flag(${flag} ${has})
    if(${has})
        add_compile_options(${flag})
    endif()
endforeach()
# Some compilers define _FORTIFY_SOURCE themselves, at another level; a
# second definition would be a warning, and warnings are errors. Under the
# sanitizers it stays off: the fortified calls would slip past part of
# AddressSanitizer's checks.
if(NOT DRELVAN_SANITIZE)
    add_compile_options("$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
endif()
add_link_options(LINKER:-z,relro LINKER:-z,now)
