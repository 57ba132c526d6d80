#!/usr/bin/env bash
# Several processes saving one settings file at once, and one loading it,
# for a while: every saver must still be saving at the end (a save that
# fails ends its loop), and every load must see one whole version.
# Usage: scripts/soak-settings.sh [SAVERS [SECONDS [FOLDER]]]
set -euo pipefail
cd "$(dirname "$0")/.."
savers=${1:-6} seconds=${2:-20}
cmake -S . -B build-soak-settings -DCMAKE_BUILD_TYPE=Release -DCTTAX_UI=none >/dev/null
cmake --build build-soak-settings --target settings_probe -j"$(nproc)" >/dev/null
probe=build-soak-settings/tests/settings_probe
folder=${3:-$(mktemp -d "${TMPDIR:-/tmp}/cttax-soak.XXXXXX")}
fig=$folder/cttax.fig
rm -f "$fig"
pids=()
for ((v = 0; v < savers; v++)); do
  "$probe" save-loop "$fig" $v >"$folder/saver-$v.log" & pids+=($!); disown
done
loads=$("$probe" load-loop "$fig" "$seconds")
died=0
for ((v = 0; v < savers; v++)); do
  if kill -0 "${pids[v]}" 2>/dev/null; then kill -9 "${pids[v]}"; else died=$((died + 1)); echo "saver $v: $(cat "$folder/saver-$v.log")"; fi
done
echo "$savers savers for $seconds s: $died stopped by an error; $loads"
[ "$died" -eq 0 ] && [[ $loads == *"torn 0 errors 0" ]]
