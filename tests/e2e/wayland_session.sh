#!/usr/bin/env bash
# The window under a Wayland compositor (weston, nested in a virtual X
# display so that the test can click into it): the compositor keeps window
# positions from clients, so closing must save the stored position again,
# not one it cannot know, and the rest as usual.
# Usage: wayland_session.sh path/to/cttax [folder for screenshots]
set -uo pipefail
app=$(realpath "$1")
shots=$(realpath "${2:-.}")
here=$(dirname "$(realpath "$0")")
# shellcheck source=lib.sh
. "$here/lib.sh"

work=$(mktemp -d)
trap 'kill "$app_pid" "$weston_pid" "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT
cp "$app" "$work/cttax"
fig=$work/cttax.fig
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
start_display
socket=wayland-cttax-$$
weston --backend=x11-backend.so --socket="$socket" --width=1024 --height=768 --idle-time=0 \
  >"$work/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$socket" ] && break; sleep 0.05; done
[ -S "$XDG_RUNTIME_DIR/$socket" ] || { echo "FAIL: weston did not start"; cat "$work/weston.log"; exit 1; }
sleep 0.5

# Where the window is: weston chooses, and no client can ask. The six result
# boxes are the aqua on the screen (the title bar's icon has a little too):
# the bottom-right corner of the last box places everything else.
find_window() {
  local box
  for _ in $(seq 100); do
    import -window root "$work/shot.png" 2>/dev/null
    box=$(convert "$work/shot.png" -fill black +opaque '#00FFFF' -trim -format '%[fx:page.x+w] %[fx:page.y+h]' info: 2>/dev/null)
    if [ -n "$box" ] && [ "$box" != "0 0" ] && [ "$box" != "1 1" ]; then read -r aqua_x aqua_y <<<"$box"; return 0; fi
    sleep 0.1
  done
  return 1
}
# Weston's X11 backend moves its pointer by the X pointer's motion, not to
# its place: driven into the far corners once, the two pointers then agree.
sync_pointer() { xdotool mousemove 1279 1023; sleep 0.2; xdotool mousemove 0 0; sleep 0.2; }
click_at() { xdotool mousemove "$1" "$2"; sleep 0.2; xdotool click 1; sleep 0.3; }

printf '300\r\n400\r\n 5.00000000000000E+0004\r\n 0.00000000000000E+0000\r\n3\r\n' > "$fig"
WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland "$work/cttax" >"$work/app.log" 2>&1 &
app_pid=$!
if ! find_window; then echo "FAIL: no window on the Wayland display"; cat "$work/app.log"; exit 1; fi
sleep 0.5
find_window
cp "$work/shot.png" "$shots/cttax-e2e-wayland.png"
sync_pointer
echo "wayland: the result boxes end at $aqua_x,$aqua_y on the screen"
click_at $((aqua_x - 193)) $((aqua_y - 391))  # the "Single" row
click_at $((aqua_x + 17)) $((aqua_y - 521))   # the title bar's close button
for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app_pid" 2>/dev/null; then
  import -window root "$shots/cttax-e2e-wayland-stuck.png" 2>/dev/null
  fail "the window did not close (see cttax-e2e-wayland-stuck.png)"
fi
expect_eq "stored position survives a close" "$(line_of "$fig" 1)/$(line_of "$fig" 2)" "300/400"
expect_eq "the status is saved as usual" "$(line_of "$fig" 5)" "0"
echo "wayland: settings file after the close: $(tr '\r\n' ' ' < "$fig")"
echo "wayland session: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
