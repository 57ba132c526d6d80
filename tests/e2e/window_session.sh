#!/usr/bin/env bash
# The real application as a person uses it, on a virtual X display: type an
# AGI, choose Married, leave by File > Exit, check the settings file; start it
# again and check that everything came back.
# Usage: window_session.sh path/to/cttax
set -euo pipefail
app=$1
if [ -z "${CTTAX_E2E_INNER:-}" ]; then
  export CTTAX_E2E_INNER=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$app" "$work/cttax"
fig="$work/cttax.fig"
unset QT_QPA_PLATFORM

start() {
  "$work/cttax" &
  pid=$!
  wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Kaldo 2011$' | head -n 1)
  sleep 0.5
  height=$(xdotool getwindowgeometry --shell "$wid" | sed -n 's/^HEIGHT=//p')
  menu=$((height - 523)) # the client area is 523 high, the menu bar above it
}

click() { xdotool mousemove --window "$wid" "$1" "$((menu + $2))" click 1; sleep 0.2; }

leave_by_file_exit() {
  xdotool mousemove --window "$wid" 12 $((menu / 2)) click 1
  sleep 0.3
  xdotool key --clearmodifiers e
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then echo "FAIL: File > Exit did not end the application"; kill "$pid"; exit 1; fi
  wait "$pid"
}

expect_line() {
  local got
  got=$(sed -n "${1}p" "$fig" | tr -d '\r')
  if [ "$got" != "$2" ]; then echo "FAIL: line $1 of the settings file is '$got', expected '$2'"; exit 1; fi
}

start
click 100 100                 # into the AGI box
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 30 60000
click 275 130                 # the "Married" item
leave_by_file_exit
expect_line 3 " 6.00000000000000E+0004"
expect_line 4 " 0.00000000000000E+0000"
expect_line 5 "1"
first=$(cat "$fig")

start                          # the values come back, and leaving saves them unchanged
leave_by_file_exit
if [ "$(cat "$fig")" != "$first" ]; then echo "FAIL: the second run did not restore the settings"; exit 1; fi
echo "window session: 1 passed, 0 failed"
