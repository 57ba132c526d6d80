# SPDX-License-Identifier: MIT
# WebAssembly with Debian's emscripten; the page in build-web/, the batch
# calculator and the tests as programs for node.
#   cmake -S . -B build-web -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/emscripten.cmake
# (emcc needs NODE_PATH=/usr/share/nodejs for its own tools: the scripts set it.)
# The node of this machine runs the tests; emscripten's default adds a flag
# that node 20 no longer takes.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/node CACHE FILEPATH "node runs the tests")
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
