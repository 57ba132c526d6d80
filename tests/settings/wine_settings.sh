#!/usr/bin/env bash
# The Windows file layer under Wine, where it meets what a unit test inside
# Wine cannot make: several cttax processes saving and loading one file at
# once, a symbolic link made on the Linux side, and a large sparse file.
# Usage: wine_settings.sh WINE PROBE WORK_FOLDER   (PROBE: settings_probe.exe)
set -uo pipefail
wine=$1 probe=$2
work=$3/wine-settings
rm -rf "$work"; mkdir -p "$work"
passed=0 failed=0
expect_eq() { if [ "$2" = "$3" ]; then passed=$((passed + 1)); else echo "FAIL: $1: got '$2', expected '$3'"; failed=$((failed + 1)); fi; }
content() { printf '%s\r\n2\r\n 3.00000000000000E+0000\r\n 4.00000000000000E+0000\r\n1\r\n' "$1"; }
run() { "$wine" "$probe" "$@" 2>/dev/null | tr -d '\r'; }

# Saves at once: every saver still saving at the end, every load one whole
# version (a saver that meets an error prints it and stops).
for savers in 2 4; do
  fig=$work/at-once-$savers.fig
  pids=()
  for ((v = 0; v < savers; v++)); do
    "$wine" "$probe" save-loop "$fig" $v >"$work/saver-$v.log" 2>/dev/null & pids+=($!); disown
  done
  loads=$(run load-loop "$fig" 10)
  stopped=0
  for ((v = 0; v < savers; v++)); do
    if kill -0 "${pids[v]}" 2>/dev/null; then kill -9 "${pids[v]}"; else stopped=$((stopped + 1)); echo "saver $v: $(tr -d '\r' <"$work/saver-$v.log")"; fi
  done
  echo "$savers savers at once for 10 s: $loads"
  expect_eq "$savers savers: stopped by an error" $stopped 0
  expect_eq "$savers savers: torn or failed loads" "$(sed -n 's/.*torn \([0-9]*\) errors \([0-9]*\).*/\1 \2/p' <<<"$loads")" "0 0"
  sleep 1
done

# A link made on the Linux side: written through to its target, kept a link.
mkdir -p "$work/synced"; content 9 > "$work/synced/cttax.fig"
ln -s synced/cttax.fig "$work/link.fig"
expect_eq "save through a link" "$(run save "$work/link.fig" 5)" saved
expect_eq "...the target written" "$(cat "$work/synced/cttax.fig")" "$(content 5)"
expect_eq "...the link kept" "$(readlink "$work/link.fig")" synced/cttax.fig
expect_eq "...loads" "$(run load "$work/link.fig")" 5

# A sparse file of 1 GB: its values read (the time is printed, not held to:
# Wine cannot tell where a file's data lies, so its holes are read).
sparse=$work/sparse.fig
printf '342' >"$sparse"; truncate -s 1G "$sparse"
start=$(date +%s%N)
expect_eq "sparse 1 GB file loads" "$(run load "$sparse")" 342
echo "sparse 1 GB file: loaded in $((($(date +%s%N) - start) / 1000000)) ms"

echo "wine settings: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
