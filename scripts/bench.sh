#!/usr/bin/env bash
# Runs the benchmarks (medians of 9 repetitions) and times the batch
# calculator against a plain strtold/printf program over 1,000,000 lines.
# With --soft, the same with the software extended type instead of the x87
# unit (in build-bench-soft/). With --windows, the Win32 window under Wine
# (scripts/bench-windows.sh); with --web, the page in headless Chromium
# (scripts/bench-web.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh
if [ "${1:-}" = --windows ]; then exec scripts/bench-windows.sh; fi
if [ "${1:-}" = --web ]; then exec scripts/bench-web.sh; fi
scripts/install-deps.sh libbenchmark-dev
soft=OFF dir=build-bench
if [ "${1:-}" = --soft ]; then soft=ON dir=build-bench-soft; fi
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DCTTAX_BUILD_BENCH=ON -DBUILD_TESTING=OFF \
  -DCTTAX_SOFT_EXTENDED=$soft >/dev/null
cmake --build "$dir" -j"$(nproc)"
report="--benchmark_repetitions=9 --benchmark_report_aggregates_only=true"
$dir/bench/bench_engine $report | grep -E 'median|Benchmark'
$dir/bench/bench_window $report 2>/dev/null | grep -E 'median|Benchmark'

lines=$dir/lines.csv
scripts/lib/make-lines.sh "$lines"
time_of() { for _ in 1 2 3 4 5; do
  /usr/bin/env TIMEFORMAT=%R bash -c "time $1 < $lines > /dev/null" 2>&1; done | median; }
echo "cttax-calc over 1,000,000 lines, median of 5: $(time_of $dir/cli/cttax-calc) s"
echo "strtold/printf baseline, median of 5:        $(time_of $dir/bench/strtold_baseline) s"

# Start-up: process start to the main window's first paint, offscreen, with a
# settings file present, against a bare Qt Widgets window of the same outer
# size and the same controls in plain Qt (interleaved, medians of 31); the
# save at close timed on its own, on the file system of the build folder.
fig=$dir/startup.fig
printf '342\r\n637\r\n 6.00000000000000E+0004\r\n 1.20000000000000E+0003\r\n1\r\n' > "$fig"
probe() { # one run: microseconds to the first paint, peak RSS in KiB [, microseconds of the close]
  START_NS=$(date +%s%N) QT_QPA_PLATFORM=offscreen $dir/bench/startup_probe "$@" 2>/dev/null
}
size=$(QT_QPA_PLATFORM=offscreen $dir/bench/startup_probe cttax "$fig" 2>&1 >/dev/null | sed -n "s/^size //p")
: > $dir/startup-cttax.txt
: > $dir/startup-minimal.txt
: > $dir/startup-controls.txt
# Interleaved, so that all three see the same machine: cttax, an empty
# window, and the same controls, texts and faces built with plain Qt.
for _ in $(seq 31); do
  probe cttax "$fig" >> $dir/startup-cttax.txt
  # shellcheck disable=SC2086
  probe minimal $size >> $dir/startup-minimal.txt
  # shellcheck disable=SC2086
  probe controls $size >> $dir/startup-controls.txt
done
for f in cttax minimal controls; do
  t=$(cut -d' ' -f1 $dir/startup-$f.txt | median)
  m=$(cut -d' ' -f2 $dir/startup-$f.txt | median)
  echo "start-up $f: median ${t} us to first paint, peak RSS ${m} KiB"
done
echo "close of cttax (the settings saved): median $(cut -d' ' -f3 $dir/startup-cttax.txt | median) us"
ct=$(cut -d' ' -f1 $dir/startup-cttax.txt | median)
mt=$(cut -d' ' -f1 $dir/startup-minimal.txt | median)
st=$(cut -d' ' -f1 $dir/startup-controls.txt | median)
echo "start-up ratio cttax/minimal: $(awk -v a="$ct" -v b="$mt" 'BEGIN { printf "%.2f", a / b }')"
echo "start-up ratio cttax/same controls: $(awk -v a="$ct" -v b="$st" 'BEGIN { printf "%.2f", a / b }')"

# The same three start-ups counted in instructions (callgrind: repeatable
# whatever else the machine does, where wall-clock medians wander by a few
# per cent).
if command -v valgrind >/dev/null; then
  count() { QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    sed -n 's/.*Collected : //p'; }
  ci=$(count $dir/bench/startup_probe cttax "$fig")
  # shellcheck disable=SC2086
  mi=$(count $dir/bench/startup_probe minimal $size)
  # shellcheck disable=SC2086
  si=$(count $dir/bench/startup_probe controls $size)
  echo "start-up instructions: cttax $ci, minimal $mi, same controls $si;" \
    "cttax/minimal $(awk -v a="$ci" -v b="$mi" 'BEGIN { printf "%.3f", a / b }')," \
    "cttax/same controls $(awk -v a="$ci" -v b="$si" 'BEGIN { printf "%.3f", a / b }')"
fi
