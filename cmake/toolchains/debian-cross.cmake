# SPDX-License-Identifier: MIT
# Cross-building with one of Debian's cross compilers, shared by the files
# beside it, each of which sets:
#   CTTAX_CROSS_TRIPLE     the compiler's prefix (aarch64-linux-gnu)
#   CTTAX_CROSS_PROCESSOR  CMAKE_SYSTEM_PROCESSOR
#   CTTAX_CROSS_MULTIARCH  the folder of Debian's multiarch libraries
#   CTTAX_CROSS_EMULATOR   how ctest runs a test program (qemu-user)
# Libraries come from Debian's multiarch packages (libgtest-dev:ARCH,
# qt6-base-dev:ARCH in /usr/lib/MULTIARCH); scripts/test-cross.sh installs them.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${CTTAX_CROSS_PROCESSOR})
set(CMAKE_C_COMPILER ${CTTAX_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${CTTAX_CROSS_TRIPLE}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${CTTAX_CROSS_MULTIARCH})

# Programs are the build machine's; libraries, headers and CMake packages the
# target's: the cross toolchain's own folder, then the multiarch ones in /usr.
set(CMAKE_FIND_ROOT_PATH /usr/${CTTAX_CROSS_TRIPLE} /usr)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt's code generators (moc, uic, rcc) are the build machine's Qt of the same version.
set(QT_HOST_PATH /usr)

# ctest runs every test program through the emulator. Where Debian has the
# target's multiarch C library (libc6:ARCH in /lib), qemu finds the loader
# there; qemu's -L with the cross toolchain's folder instead makes a forked
# child hang (qemu 7.2), so -L is kept for machines without multiarch packages.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CTTAX_CROSS_EMULATOR})
