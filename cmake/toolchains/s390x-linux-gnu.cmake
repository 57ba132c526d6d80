# SPDX-License-Identifier: MIT
# s390x (big-endian) with Debian's g++-s390x-linux-gnu; tests under qemu-s390x.
#   cmake -S . -B build-s390x -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/s390x-linux-gnu.cmake
set(CTTAX_CROSS_TRIPLE s390x-linux-gnu)
set(CTTAX_CROSS_PROCESSOR s390x)
set(CTTAX_CROSS_MULTIARCH s390x-linux-gnu)
set(CTTAX_CROSS_EMULATOR qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
