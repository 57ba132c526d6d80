#!/usr/bin/env bash
# Builds cttax for the browser with Debian's emscripten into build-web/ and
# tests it: the unit tests that apply and cttax-calc.js under node (the
# x86-64 hardware build's --raw bytes over the million lines), the page in
# headless Chromium (tests/web/page_test.py), and the page's size.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh
scripts/install-deps.sh emscripten nodejs chromium chromium-driver python3-selenium zip
started=$(date +%s)
build_web
built=$(date +%s)
ctest --test-dir build-web --output-on-failure -j"$(nproc)"
tested=$(date +%s)
read -r calc_ms bytes _ <<<"$(scripts/lib/compare-raw.sh build-web web node build-web/cli/cttax-calc.js)"
site=build-web/ui/web/site
total=$(cat "$site"/* | wc -c)
[ "$total" -lt 409600 ] || { echo "the page's files are $total bytes, over 400 KB" >&2; exit 1; }
echo "web: build $((built - started)) s; tests under node and in Chromium $((tested - built)) s;" \
  "cttax-calc.js --raw over 1,000,000 lines $calc_ms ms under node, byte-identical to x86-64 ($bytes bytes);" \
  "the page's files $total bytes (screenshots in build-web/tests/web)"
