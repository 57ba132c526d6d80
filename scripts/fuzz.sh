#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under ASan+UBSan and runs each for
# the given number of seconds (default 60).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh clang libclang-rt-14-dev
seconds=${1:-60}
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCTTAX_BUILD_FUZZ=ON -DCTTAX_SANITIZE=ON -DCTTAX_BUILD_UI=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)"
seeds=build-fuzz/corpus/settings_reader
mkdir -p "$seeds"
printf '342\r\n637\r\n 5.00000000000000E+0004\r\n 1.20050000000000E+0003\r\n1\r\n' > "$seeds/example"
printf '1\r\n2\r\n                   +Inf\r\n                   -Inf\r\n3\r\n' > "$seeds/infinities"
printf '1\r\n2\r\n                    Nan\r\n 0.00000000000000E+0000\x1a\r\n' > "$seeds/nan"
for target in parse_decimal csv_reader settings_reader soft_extended; do
  mkdir -p build-fuzz/corpus/$target build-fuzz/artifacts/$target
  # Crashes and slow inputs are kept in the build folder, never in the sources.
  build-fuzz/fuzz/fuzz_$target -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix=build-fuzz/artifacts/$target/ build-fuzz/corpus/$target 2>&1 |
    grep -E 'stat::number_of_executed_units|ERROR|SUMMARY' | sed "s/^/$target: /"
done
