#!/usr/bin/env bash
# The long differential run of the software extended type against the x87
# unit: one billion random operand pairs per operation by default (about ten
# minutes on two cores). Usage: scripts/soak-extended.sh [PAIRS] [SEED]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-soak -DCMAKE_BUILD_TYPE=Release -DCTTAX_BUILD_UI=OFF >/dev/null
cmake --build build-soak -j"$(nproc)" --target soak_extended
exec build-soak/tests/soak_extended "${1:-1000000000}" "${2:-2010}"
