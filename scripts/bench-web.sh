#!/usr/bin/env bash
# The page in headless Chromium (bench/web_bench.py): one keystroke to the
# six results, first paint against the same controls as static HTML, the
# files' size; and cttax-calc.js under node over the million lines.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh
scripts/install-deps.sh emscripten nodejs chromium chromium-driver python3-selenium
build_web
/usr/bin/python3 bench/web_bench.py build-web/ui/web/site build-web/bench
lines=build-web/bench/lines.csv
scripts/lib/make-lines.sh "$lines"
: >build-web/bench/calc.txt
for _ in 1 2 3 4 5; do
  start=$(date +%s%N)
  node build-web/cli/cttax-calc.js <"$lines" >/dev/null
  echo $(( ($(date +%s%N) - start) / 1000000 )) >>build-web/bench/calc.txt
done
echo "cttax-calc.js under node over 1,000,000 lines: median of 5 $(median <build-web/bench/calc.txt) ms"
