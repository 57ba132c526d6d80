#!/usr/bin/env bash
# Runs another build's cttax-calc --raw over the benchmark's million lines and
# checks that it writes exactly the bytes of this machine's x87 build
# (build-reference/, only the batch calculator, built here). Prints "ms bytes
# sha256-prefix" on success. Run by the entry points, not by hand.
# Usage: scripts/lib/compare-raw.sh FOLDER NAME COMMAND...   (FOLDER for the lines and outputs)
set -euo pipefail
cd "$(dirname "$0")/../.."
folder=$1 name=$2
shift 2
reference=build-reference
cmake -S . -B $reference -DCMAKE_BUILD_TYPE=Release -DCTTAX_UI=none -DBUILD_TESTING=OFF -DCTTAX_SOFT_EXTENDED=OFF >/dev/null
cmake --build $reference -j"$(nproc)" --target cttax-calc >/dev/null
lines=$folder/lines.csv
scripts/lib/make-lines.sh "$lines"
start=$(date +%s%N)
"$@" --raw < "$lines" > "$folder/raw-$name.csv"
ms=$(( ($(date +%s%N) - start) / 1000000 ))
$reference/cli/cttax-calc --raw < "$lines" > "$folder/raw-x87.csv"
if ! cmp "$folder/raw-x87.csv" "$folder/raw-$name.csv"; then
  echo "$name --raw output differs from the x86-64 x87 build" >&2
  exit 1
fi
echo "$ms $(wc -c < "$folder/raw-$name.csv") $(sha256sum < "$folder/raw-$name.csv" | cut -c1-16)"
