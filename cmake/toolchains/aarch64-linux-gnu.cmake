# SPDX-License-Identifier: MIT
# arm64 with Debian's g++-aarch64-linux-gnu; tests under qemu-aarch64.
#   cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/aarch64-linux-gnu.cmake
set(CTTAX_CROSS_TRIPLE aarch64-linux-gnu)
set(CTTAX_CROSS_PROCESSOR aarch64)
set(CTTAX_CROSS_MULTIARCH aarch64-linux-gnu)
set(CTTAX_CROSS_EMULATOR qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
