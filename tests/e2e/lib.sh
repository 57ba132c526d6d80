# SPDX-License-Identifier: MIT
# Shared by the end-to-end scripts: a virtual X display, a window manager on
# it, the application's window and what a person sees of it.

passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
expect_eq() { # what got expected
  if [ "$2" = "$3" ]; then pass; else fail "$1: got '$2', expected '$3'"; fi
}

# Starts Xvfb on a free display; -ac lets the other user of the permission
# cases connect too, and -noreset keeps the server up between clients: by
# default it resets when its last client leaves, and a window manager that
# connects during the reset finds no display. Sets DISPLAY and xvfb_pid.
start_display() {
  local fd_file
  fd_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1280x1024}x24" -ac -noreset -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$fd_file" ] && break; sleep 0.05; done
  DISPLAY=:$(head -n1 "$fd_file")
  export DISPLAY
  rm -f "$fd_file"
}

# Starts a window manager and waits until it has taken over the screen.
start_wm() { # the window manager and its arguments
  "$@" >/dev/null 2>&1 &
  wm_pid=$!
  for _ in $(seq 100); do wmctrl -m >/dev/null 2>&1 && return 0; sleep 0.05; done
  echo "FAIL: window manager $1 did not start"; exit 1
}
stop_wm() { kill "$wm_pid" 2>/dev/null; wait "$wm_pid" 2>/dev/null || true; }

# Runs the application (any command) and waits for its main window. Sets pid and wid.
start_app() {
  "$@" >>"${app_log:-/dev/null}" 2>&1 &
  pid=$!
  wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Kaldo 2011$' | head -n 1)
  [ -n "$wid" ] || { echo "FAIL: no main window from $*"; exit 1; }
  # The window manager frames it and the loaded values arrive; let it settle.
  sleep 0.4
}

# The frame around the window: "left top width height" of its top-level
# ancestor (the window itself where no window manager reparents it).
frame_of() {
  local w=$1 root parent
  root=$(xwininfo -root | awk '/Window id:/ { print $4 }')
  while :; do
    parent=$(xwininfo -id "$w" -tree 2>/dev/null | awk '/Parent window id:/ { print $4 }')
    [ -z "$parent" ] || [ "$parent" = "$root" ] && break
    w=$parent
  done
  xwininfo -id "$w" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }'
}

# The menu bar's height: the client area is 523 high below it.
menu_height() {
  local h
  h=$(xdotool getwindowgeometry --shell "$wid" | sed -n 's/^HEIGHT=//p')
  echo $((h - 523))
}

click_client() { # x y inside the client area, below the menu bar
  xdotool mousemove --window "$wid" "$1" "$(($(menu_height) + $2))" click 1
  sleep 0.2
}

wait_exit() {
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    fail "the application did not end (an error box at close?)"
    kill "$pid" 2>/dev/null
  fi
  wait "$pid" 2>/dev/null || true
}

# File > Exit, as a person does it: a click on "File", then its access key.
leave_by_file_exit() {
  xdotool mousemove --window "$wid" 12 $(($(menu_height) / 2)) click 1
  sleep 0.3
  xdotool key --clearmodifiers e
  wait_exit
}

# The window manager's close, as the title bar's close button gives it.
leave_by_close_button() {
  wmctrl -i -c "$wid"
  wait_exit
}

line_of() { sed -n "${2}p" "$1" | tr -d '\r'; }
