# SPDX-License-Identifier: MIT
# ppc64el with Debian's g++-powerpc64le-linux-gnu (long double is the
# double-double type there); tests under qemu-ppc64le.
#   cmake -S . -B build-ppc64el -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/powerpc64le-linux-gnu.cmake
set(CTTAX_CROSS_TRIPLE powerpc64le-linux-gnu)
set(CTTAX_CROSS_PROCESSOR ppc64le)
set(CTTAX_CROSS_MULTIARCH powerpc64le-linux-gnu)
set(CTTAX_CROSS_EMULATOR qemu-ppc64le)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
