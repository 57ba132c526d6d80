#!/usr/bin/env bash
# Cross-builds what cttax has for Windows so far (the computation, the text
# forms and cttax-calc.exe) with Debian's mingw-w64, runs its tests under
# wine64 and checks that cttax-calc.exe --raw writes over the benchmark's
# million lines exactly the bytes of the Linux x87 build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine64 googletest
jobs=$(nproc)
build=build-windows
started=$(date +%s)
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/x86_64-w64-mingw32.cmake -DCMAKE_BUILD_TYPE=Release \
  >/dev/null
cmake --build "$build" -j"$jobs"
for exe in "$build/cli/cttax-calc.exe"; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')
  case $dlls in *[Ll][Ii][Bb]*) echo "$exe needs DLLs beyond the system's: $dlls" >&2; exit 1 ;; esac
  echo "$(basename "$exe"): $(stat -c %s "$exe") bytes, needs $dlls"
done
built=$(date +%s)

# A prefix of the build's own; the wine server started first, so that its
# services do not hold ctest's output open; wine's messages to a file.
export WINEPREFIX=$PWD/$build/wineprefix WINEDEBUG=-all
wine=/usr/lib/wine/wine64
$wine cmd /c exit >"$build/wine.log" 2>&1
ctest --test-dir "$build" --output-on-failure -j"$jobs"
tested=$(date +%s)

compared=$(scripts/compare-raw.sh "$build" windows "$wine" "$build/cli/cttax-calc.exe")
read -r calc_ms bytes _ <<<"$compared"
echo "windows: build $((built - started)) s; tests under wine $((tested - built)) s;" \
  "cttax-calc.exe --raw over 1,000,000 lines $calc_ms ms, byte-identical to Linux ($bytes bytes)"
