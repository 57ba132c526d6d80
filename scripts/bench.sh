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
if [ ! -f "$lines" ]; then
  awk 'BEGIN { srand(2010); for (i = 0; i < 1000000; i++)
         printf "%d,%.2f,%.2f\n", i % 4, rand() * 200000, rand() * 2000 }' > "$lines"
fi
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
time_of() { for _ in 1 2 3 4 5; do
  /usr/bin/env TIMEFORMAT=%R bash -c "time $1 < $lines > /dev/null" 2>&1; done | median; }
echo "cttax-calc over 1,000,000 lines, median of 5: $(time_of build-bench/cli/cttax-calc) s"
echo "strtold/printf baseline, median of 5:        $(time_of build-bench/bench/strtold_baseline) s"
