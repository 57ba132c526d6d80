#!/usr/bin/env bash
# Builds cttax and runs the whole test suite: once as a warnings-as-errors
# release build (with the window under real window managers and Wayland, and
# the Debian package built and checked), once more computing with the
# software extended type instead of the x87 unit, and once with the software
# type under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"
scripts/package.sh
tests/packaging/package_test.sh "$(ls -t build-package/cttax_*.deb | head -n 1)"

cmake -S . -B build-soft -DCMAKE_BUILD_TYPE=Release -DCTTAX_SOFT_EXTENDED=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build build-soft -j"$jobs"
ctest --test-dir build-soft --output-on-failure -j"$jobs"

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DCTTAX_SANITIZE=ON -DCTTAX_SOFT_EXTENDED=ON \
  -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build build-sanitize -j"$jobs"
ctest --test-dir build-sanitize --output-on-failure -j"$jobs"
