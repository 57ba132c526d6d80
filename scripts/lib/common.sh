# SPDX-License-Identifier: MIT
# Shared by the entry-point scripts in scripts/ (sourced, never run).

# The median of the numbers on standard input, one per line.
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# The project's version, from the top CMakeLists.txt.
project_version() { sed -n 's/^project(cttax VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt; }

# A release build configured in FOLDER for another machine, with the
# toolchain cmake/toolchains/NAME.cmake; more cmake options after them.
#   configure_cross FOLDER NAME [OPTION...]
configure_cross() {
  local folder=$1 toolchain=$2
  shift 2
  cmake -S . -B "$folder" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchains/$toolchain.cmake" -DCMAKE_BUILD_TYPE=Release \
    "$@" >/dev/null
}

# The Windows build (mingw-w64, the Win32 window) in FOLDER.
#   configure_windows FOLDER [OPTION...]
configure_windows() {
  local folder=$1
  shift
  configure_cross "$folder" x86_64-w64-mingw32 -DCTTAX_UI=win32 -DCTTAX_BUILD_UI=ON "$@"
}

# The browser build (emscripten) configured and built in build-web; emcc
# runs its own tools with Debian's node modules.
#   build_web
build_web() {
  export NODE_PATH=/usr/share/nodejs
  configure_cross build-web emscripten
  cmake --build build-web -j"$(nproc)"
}

# A Wine prefix of the script's own, quiet, and the 64-bit loader.
#   use_wine PREFIX-FOLDER   sets WINEPREFIX, WINEDEBUG and wine
use_wine() {
  export WINEPREFIX=$1 WINEDEBUG=-all
  wine=/usr/lib/wine/wine64
}
