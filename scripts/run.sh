#!/usr/bin/env bash
# Builds cttax and starts the window. Without a display it says so and how to
# run it under Xvfb. The batch calculator is built beside it:
# build/cli/cttax-calc --help
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target cttax cttax-calc
echo "married,60000,1200" | build/cli/cttax-calc --header
exec build/ui/cttax
