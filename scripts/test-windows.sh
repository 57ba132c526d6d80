#!/usr/bin/env bash
# Cross-builds cttax for Windows with Debian's mingw-w64 and tests it under
# wine64: the unit tests that apply there, the window end to end (our Win32
# driver in a virtual display with openbox), cttax-calc.exe --raw against the
# Linux x87 build byte for byte over the benchmark's million lines, and the
# zip and the installer (built, installed, uninstalled).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh
scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine64 googletest nsis zip
jobs=$(nproc)
build=build-windows
started=$(date +%s)
configure_windows "$build"
cmake --build "$build" -j"$jobs"
for exe in "$build/ui/win32/cttax.exe" "$build/cli/cttax-calc.exe"; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')
  case $dlls in *[Ll][Ii][Bb]*) echo "$exe needs DLLs beyond the system's: $dlls" >&2; exit 1 ;; esac
  size=$(stat -c %s "$exe")
  [ "$size" -lt 1048576 ] || { echo "$exe is $size bytes, over 1 MB" >&2; exit 1; }
  echo "$(basename "$exe"): $size bytes, needs $dlls"
done
built=$(date +%s)

# A prefix of the build's own; the wine server started first, so that its
# services do not hold ctest's output open; wine's messages to a file.
use_wine "$PWD/$build/wineprefix"
$wine cmd /c exit >"$build/wine.log" 2>&1
ctest --test-dir "$build" --output-on-failure -j"$jobs"
tested=$(date +%s)

compared=$(scripts/lib/compare-raw.sh "$build" windows "$wine" "$build/cli/cttax-calc.exe")
read -r calc_ms bytes _ <<<"$compared"
# A CSV file named on the command line (as a file dropped onto the .exe is)
# reads as standard input does.
printf 'single,16300,0\r\nmarried,60000,1200\r\n' >"$build/cases.csv"
[ "$($wine "$build/cli/cttax-calc.exe" "$build/cases.csv")" = "$($wine "$build/cli/cttax-calc.exe" <"$build/cases.csv")" ] ||
  { echo "cttax-calc.exe FILE differs from < FILE" >&2; exit 1; }
scripts/package-windows.sh --check
echo "windows: build $((built - started)) s; tests under wine $((tested - built)) s (screenshots in" \
  "$build/tests/e2e);" "cttax-calc.exe --raw over 1,000,000 lines $calc_ms ms, byte-identical to Linux ($bytes bytes)"
