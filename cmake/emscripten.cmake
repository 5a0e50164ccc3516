# The web build: the core in WebAssembly with Debian's Emscripten, e.g.
# `cmake --preset web`.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# Emscripten runs its JavaScript optimiser under whatever `node` is first on
# the PATH; a Node that is not Debian's does not look for the optimiser's
# modules (acorn) where Debian keeps them, and optimised links fail.
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)

# Programs built here run under Node: CTest and add_custom_command put this in
# front of each. Emscripten's own default adds a flag that Node 20 refuses.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/node-run)
