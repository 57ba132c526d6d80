#!/usr/bin/env bash
# Runs the benchmarks (medians of 9 repetitions) and times the batch
# calculator against a plain strtold/printf program over 1,000,000 lines.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh libbenchmark-dev
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DCTTAX_BUILD_BENCH=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build build-bench -j"$(nproc)"
report="--benchmark_repetitions=9 --benchmark_report_aggregates_only=true"
build-bench/bench/bench_engine $report | grep -E 'median|Benchmark'
build-bench/bench/bench_window $report 2>/dev/null | grep -E 'median|Benchmark'

lines=build-bench/lines.csv
scripts/make-lines.sh "$lines"
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
time_of() { for _ in 1 2 3 4 5; do
  /usr/bin/env TIMEFORMAT=%R bash -c "time $1 < $lines > /dev/null" 2>&1; done | median; }
echo "cttax-calc over 1,000,000 lines, median of 5: $(time_of build-bench/cli/cttax-calc) s"
echo "strtold/printf baseline, median of 5:        $(time_of build-bench/bench/strtold_baseline) s"

# Start-up: process start to the main window's first paint, offscreen, with a
# settings file present, against a bare Qt Widgets window of the same outer
# size (interleaved, medians of 31).
fig=build-bench/startup.fig
printf '342\r\n637\r\n 6.00000000000000E+0004\r\n 1.20000000000000E+0003\r\n1\r\n' > "$fig"
probe() { # one run: microseconds to the first paint, and peak RSS in KiB
  local start end rss
  start=$(date +%s%N)
  rss=$(QT_QPA_PLATFORM=offscreen build-bench/bench/startup_probe "$@" 2>/dev/null)
  end=$(date +%s%N)
  echo "$(( (end - start) / 1000 )) $rss"
}
size=$(QT_QPA_PLATFORM=offscreen build-bench/bench/startup_probe cttax "$fig" 2>&1 >/dev/null | sed -n "s/^size //p")
: > build-bench/startup-cttax.txt
: > build-bench/startup-minimal.txt
# Interleaved, so that both see the same machine.
for _ in $(seq 31); do
  probe cttax "$fig" >> build-bench/startup-cttax.txt
  # shellcheck disable=SC2086
  probe minimal $size >> build-bench/startup-minimal.txt
done
for f in cttax minimal; do
  t=$(cut -d' ' -f1 build-bench/startup-$f.txt | median)
  m=$(cut -d' ' -f2 build-bench/startup-$f.txt | median)
  echo "start-up $f: median ${t} us to first paint, peak RSS ${m} KiB"
done
ct=$(cut -d' ' -f1 build-bench/startup-cttax.txt | median)
mt=$(cut -d' ' -f1 build-bench/startup-minimal.txt | median)
echo "start-up ratio cttax/minimal: $(awk -v a="$ct" -v b="$mt" 'BEGIN { printf "%.2f", a / b }')"
