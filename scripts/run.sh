#!/usr/bin/env bash
# Builds cttax and starts the window. Without a display it shows what cttax
# computes with the batch calculator and how to open the window on a virtual
# display. The batch calculator is built beside it: build-run/cli/cttax-calc --help
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-run -j"$(nproc)" --target cttax cttax-calc
echo "married,60000,1200" | build-run/cli/cttax-calc --header
build-run/cli/cttax-calc married 60000 1200
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo
  echo "No display here to open the window on. To run it on a virtual display:"
  echo "  xvfb-run -a $PWD/build-run/ui/qt/cttax"
  exit 0
fi
exec build-run/ui/qt/cttax
