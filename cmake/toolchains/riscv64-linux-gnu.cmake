# SPDX-License-Identifier: MIT
# riscv64 with Debian's g++-riscv64-linux-gnu. Debian 12 has no riscv64
# packages, so there is no window (-DCTTAX_BUILD_UI=OFF), GoogleTest is built
# from Debian's googletest sources, and qemu takes the cross toolchain's C
# library with -L.
#   cmake -S . -B build-riscv64 -DCTTAX_BUILD_UI=OFF -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/riscv64-linux-gnu.cmake
set(CTTAX_CROSS_TRIPLE riscv64-linux-gnu)
set(CTTAX_CROSS_PROCESSOR riscv64)
set(CTTAX_CROSS_MULTIARCH riscv64-linux-gnu)
set(CTTAX_CROSS_EMULATOR qemu-riscv64 -L /usr/riscv64-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
