# SPDX-License-Identifier: MIT
# Cross-building for arm64 with Debian's g++-aarch64-linux-gnu. Libraries
# come from Debian's multiarch packages (libgtest-dev:arm64, qt6-base-dev:arm64
# in /usr/lib/aarch64-linux-gnu); the tests run under qemu-aarch64.
#   cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/aarch64-linux-gnu.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

# Programs are the build machine's; libraries, headers and CMake packages the
# target's: the cross toolchain's own folder, then the multiarch ones in /usr.
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu /usr)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt's code generators (moc, uic, rcc) are the build machine's Qt of the same version.
set(QT_HOST_PATH /usr)

# ctest runs every test program through the emulator. The arm64 loader and C
# library are the multiarch libc6:arm64 in /lib, which the libraries above
# bring; qemu's -L with the cross toolchain's folder instead makes a forked
# child hang (qemu 7.2).
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64)
