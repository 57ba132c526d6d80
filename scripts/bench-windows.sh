#!/usr/bin/env bash
# The Win32 window under Wine, in a virtual display with openbox:
# - start-up: process start to the main window's first paint, with a
#   settings file, against a plain Win32 window of the same controls, texts,
#   faces, colours and manifest (the baseline) and a bare window of the same
#   outer size, under the same Wine (interleaved, medians of 31);
# - keystroke: a change of the AGI box to the six results written, in the
#   real window (median of 20,000).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh
scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine64 googletest
build=build-bench-windows # its own: the benchmarks on, the tests off
configure_windows "$build" -DCTTAX_BUILD_BENCH=ON -DBUILD_TESTING=OFF
cmake --build "$build" -j"$(nproc)" --target win32_probe cttax cttax-calc
source tests/e2e/lib.sh
start_display
start_wm openbox
use_wine "$PWD/$build/wineprefix"
trap '/usr/lib/wine/wineserver -k 2>/dev/null; stop_wm; kill "$xvfb_pid" 2>/dev/null' EXIT
"$wine" cmd /c exit >/dev/null 2>&1
probe=$build/bench/win32_probe.exe
fig=$build/bench-startup.fig
printf '342\r\n637\r\n 6.00000000000000E+0004\r\n 1.20000000000000E+0003\r\n1\r\n' >"$fig"
winfig="Z:${PWD//\//\\}\\${fig//\//\\}"
once() { local start end; start=$(date +%s%N); "$wine" "$probe" "$@" >/dev/null 2>&1; end=$(date +%s%N); echo $(( (end - start) / 1000 )); }
read -r _ width height <<<"$("$wine" "$probe" cttax "$winfig" 2>&1 >/dev/null | tr -d '\r' | grep '^size')"
: >"$build/startup-cttax.txt"
: >"$build/startup-bare.txt"
: >"$build/startup-controls.txt"
for _ in $(seq 31); do
  once cttax "$winfig" >>"$build/startup-cttax.txt"
  once controls "$width" "$height" >>"$build/startup-controls.txt"
  once bare "$width" "$height" >>"$build/startup-bare.txt"
done
ct=$(median <"$build/startup-cttax.txt")
pt=$(median <"$build/startup-controls.txt")
bt=$(median <"$build/startup-bare.txt")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo "windows start-up to first paint under wine (medians of 31, interleaved): cttax.exe ${ct} us," \
  "the same controls in plain Win32 ${pt} us (ratio $(ratio "$ct" "$pt"), at most 1.10)," \
  "bare ${width}x${height} window ${bt} us (ratio $(ratio "$ct" "$bt"))"
echo "inside the process, one run: $("$wine" "$probe" cttax "$winfig" 2>&1 >/dev/null | tr -d '\r' | grep '^phases')"
"$wine" "$probe" keystroke "$winfig" 20000 2>/dev/null | tr -d '\r'
echo "sizes: cttax.exe $(stat -c %s "$build/ui/win32/cttax.exe") bytes, cttax-calc.exe $(stat -c %s "$build/cli/cttax-calc.exe") bytes"
