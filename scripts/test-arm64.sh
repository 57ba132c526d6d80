#!/usr/bin/env bash
# Cross-builds cttax for arm64 with Debian's aarch64 cross compiler and
# multiarch libraries, runs its tests under qemu-aarch64 (the window's widget
# tests included, offscreen), and checks that cttax-calc --raw writes over the
# benchmark's million lines exactly the bytes of the x86-64 hardware build.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! dpkg --print-foreign-architectures | grep -qx arm64; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "the arm64 run needs Debian's arm64 packages; as root run: dpkg --add-architecture arm64 && apt-get update" >&2
    exit 1
  fi
  dpkg --add-architecture arm64
  apt-get update -qq
fi
scripts/install-deps.sh file g++-aarch64-linux-gnu qemu-user \
  libgtest-dev:arm64 qt6-base-dev:arm64 libgl-dev:arm64 libxkbcommon-dev:arm64

jobs=$(nproc)
cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/aarch64-linux-gnu.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-arm64 -j"$jobs"
file build-arm64/cli/cttax-calc | grep -q 'ARM aarch64' || { echo "not an arm64 build" >&2; exit 1; }
start=$(date +%s%N)
ctest --test-dir build-arm64 --output-on-failure -j"$jobs"
echo "arm64 tests under qemu: $(( ($(date +%s%N) - start) / 1000000 )) ms"

# The same bits as the x86-64 hardware build.
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$jobs" --target cttax-calc
lines=build-arm64/lines.csv
scripts/make-lines.sh "$lines"
start=$(date +%s%N)
qemu-aarch64 build-arm64/cli/cttax-calc --raw < "$lines" > build-arm64/raw-aarch64.csv
echo "arm64 cttax-calc --raw over 1,000,000 lines under qemu: $(( ($(date +%s%N) - start) / 1000000 )) ms"
grep -q '^CTTAX_SOFT_EXTENDED:BOOL=OFF' build/CMakeCache.txt ||
  { echo "build/ does not use the x87 unit (CTTAX_SOFT_EXTENDED is on)" >&2; exit 1; }
build/cli/cttax-calc --raw < "$lines" > build-arm64/raw-x86_64.csv
if cmp build-arm64/raw-x86_64.csv build-arm64/raw-aarch64.csv; then
  echo "arm64 --raw output: byte-identical to x86-64 ($(wc -c < build-arm64/raw-aarch64.csv) bytes, $(sha256sum < build-arm64/raw-aarch64.csv | cut -c1-16))"
else
  echo "arm64 --raw output differs from x86-64" >&2
  exit 1
fi
