# SPDX-License-Identifier: MIT
# 32-bit x86 with Debian's g++-i686-linux-gnu and the i386 multiarch
# libraries; tests under qemu-i386. The software extended type is used here
# (the x87 path is proven on x86-64 only).
#   cmake -S . -B build-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/i686-linux-gnu.cmake
set(CTTAX_CROSS_TRIPLE i686-linux-gnu)
set(CTTAX_CROSS_PROCESSOR i686)
set(CTTAX_CROSS_MULTIARCH i386-linux-gnu)
set(CTTAX_CROSS_EMULATOR qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
