#!/usr/bin/env bash
# Cross-builds cttax for another machine with Debian's cross compiler and
# multiarch libraries, runs its whole test suite under qemu-user (the golden
# digests among them: the same bits as the x87 unit), and checks that
# cttax-calc --raw writes over the benchmark's million lines exactly the
# bytes of the x86-64 hardware build.
# Usage: scripts/test-cross.sh ARCH [--no-window]
#   ARCH: arm64, s390x (big-endian), ppc64el, riscv64, i686
#   --no-window: leave the window out (no Qt for the target is installed)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh
arch=${1:?usage: scripts/test-cross.sh arm64|s390x|ppc64el|riscv64|i686 [--no-window]}
window=ON
[ "${2:-}" = --no-window ] && window=OFF

case $arch in
  arm64) toolchain=aarch64-linux-gnu debian=arm64 qemu=qemu-aarch64 magic='ARM aarch64' ;;
  s390x) toolchain=s390x-linux-gnu debian=s390x qemu=qemu-s390x magic='IBM S/390' ;;
  ppc64el) toolchain=powerpc64le-linux-gnu debian=ppc64el qemu=qemu-ppc64le magic='64-bit PowerPC' ;;
  riscv64) toolchain=riscv64-linux-gnu debian='' qemu='qemu-riscv64 -L /usr/riscv64-linux-gnu' magic='RISC-V' ;;
  i686) toolchain=i686-linux-gnu debian=i386 qemu=qemu-i386 magic='Intel 80386' ;;
  *) echo "unknown ARCH '$arch' (arm64, s390x, ppc64el, riscv64, i686)" >&2; exit 2 ;;
esac
# GoogleTest's sources always: where the target's libgtest-dev cannot be had,
# the tests build it from them.
scripts/install-deps.sh file qemu-user googletest "g++-$toolchain"
if [ -n "$debian" ]; then
  if ! dpkg --print-foreign-architectures | grep -qx "$debian"; then
    if [ "$(id -u)" -ne 0 ]; then
      echo "the $arch run needs Debian's $debian packages; as root run: dpkg --add-architecture $debian && apt-get update" >&2
      exit 1
    fi
    dpkg --add-architecture "$debian"
    apt-get update -qq || echo "apt-get update reported errors (a mirror in sync?); going on with the indexes it has" >&2
  fi
  # The target's C and C++ libraries, for qemu to run the programs with.
  scripts/install-deps.sh "libc6:$debian" "libstdc++6:$debian"
  # A mirror whose $debian packages are at other versions than the installed amd64 ones
  # cannot give the libraries both must share: then without them.
  scripts/install-deps.sh "libgtest-dev:$debian" >/dev/null 2>&1 ||
    echo "$arch: libgtest-dev:$debian cannot be installed here; GoogleTest is built from its sources"
  if [ $window = ON ] && ! scripts/install-deps.sh "qt6-base-dev:$debian" "libgl-dev:$debian" "libxkbcommon-dev:$debian" >/dev/null 2>&1; then
    echo "$arch: Qt 6 for $debian cannot be installed here (its libraries are at other versions than the installed amd64 ones); no window"
    window=OFF
  fi
else
  window=OFF # no Debian packages for this machine at all
fi

jobs=$(nproc)
build=build-$arch
started=$(date +%s)
configure_cross "$build" "$toolchain" -DCTTAX_BUILD_UI=$window
cmake --build "$build" -j"$jobs"
file "$build/cli/cttax-calc" | grep -q "$magic" || { echo "not an $arch build: $(file "$build/cli/cttax-calc")" >&2; exit 1; }
built=$(date +%s)
ctest --test-dir "$build" --output-on-failure -j"$jobs"
tested=$(date +%s)

# The same bits as the x86-64 hardware build.
# shellcheck disable=SC2086
compared=$(scripts/lib/compare-raw.sh "$build" "$arch" $qemu "$build/cli/cttax-calc")
read -r calc_ms bytes sha <<<"$compared"
echo "$arch: window $window; build $((built - started)) s; tests under qemu $((tested - built)) s;" \
  "cttax-calc --raw over 1,000,000 lines $calc_ms ms, byte-identical to x86-64 ($bytes bytes, sha256 $sha)"
