#!/usr/bin/env bash
# The real application as a person uses it, on a virtual X display under two
# window managers with different frames (openbox, icewm): typing and leaving
# by File > Exit, the stored frame position over runs in a row, a moved
# window, a position from an unplugged monitor, the first keyboard focus.
# Then, under openbox: a folder name that is not UTF-8, a system install used
# by a normal user (settings in the user's configuration folder), kill -9 at
# save time, and a display that does not answer.
# Usage: window_session.sh path/to/cttax [folder for screenshots]
set -uo pipefail
app=$(realpath "$1")
shots=$(realpath "${2:-.}")
here=$(dirname "$(realpath "$0")")
# shellcheck source=lib.sh
. "$here/lib.sh"

work=$(mktemp -d)
chmod 755 "$work"
trap 'stop_wm; kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT
mkdir "$work/portable"
cp "$app" "$work/portable/cttax"
fig="$work/portable/cttax.fig"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
app_log=$work/app.log

stored() { printf '%s\r\n%s\r\n 5.00000000000000E+0004\r\n 0.00000000000000E+0000\r\n%s\r\n' "$1" "$2" "$3" > "$fig"; }

start_display

# i3 with a configuration of its own (else it starts its set-up wizard).
printf 'font pango:DejaVu Sans 8\n' > "$work/i3.conf"
for wm in ${CTTAX_E2E_WMS:-openbox icewm i3}; do
  if [ "$wm" = i3 ]; then start_wm i3 -c "$work/i3.conf"; else start_wm "$wm"; fi

  # Typing, choosing, leaving; the values come back at the next start.
  rm -f "$fig"
  start_app "$work/portable/cttax"
  click_client 100 100            # into the AGI box
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 30 60000
  click_client 275 130            # the "Married" item
  leave_by_file_exit
  expect_eq "$wm: saved AGI" "$(line_of "$fig" 3)" " 6.00000000000000E+0004"
  expect_eq "$wm: saved status" "$(line_of "$fig" 5)" "1"
  first=$(cat "$fig")
  start_app "$work/portable/cttax"
  leave_by_close_button
  expect_eq "$wm: second run keeps the file" "$(cat "$fig")" "$first"

  # The frame opens where it was stored and is saved there, run after run.
  stored 300 400 1
  for run in 1 2 3; do
    start_app "$work/portable/cttax"
    read -r fx fy fw fh < <(frame_of "$wid")
    expect_eq "$wm: frame position, run $run" "$fx $fy" "400 300"
    echo "$wm run $run: frame at left $fx top $fy (${fw}x$fh); saved before: $(line_of "$fig" 1)/$(line_of "$fig" 2)"
    [ "$run" = 1 ] && import -window root "$shots/cttax-e2e-$wm.png" 2>/dev/null
    leave_by_file_exit
    expect_eq "$wm: saved top/left, run $run" "$(line_of "$fig" 1)/$(line_of "$fig" 2)" "300/400"
  done

  # A moved window is saved where it was moved and reopens there (i3 takes
  # the place asked for as the client area's, so the frame is read back).
  start_app "$work/portable/cttax"
  wmctrl -i -r "$wid" -e 0,520,110,-1,-1
  sleep 0.4
  read -r mx my _ < <(frame_of "$wid")
  leave_by_close_button
  expect_eq "$wm: saved after a move" "$(line_of "$fig" 1)/$(line_of "$fig" 2)" "$my/$mx"
  start_app "$work/portable/cttax"
  read -r fx fy _ < <(frame_of "$wid")
  expect_eq "$wm: reopens where moved" "$fx $fy" "$mx $my"
  leave_by_close_button

  # A position from a monitor that is gone: the whole frame on the screen.
  stored 300 1700 1
  start_app "$work/portable/cttax"
  read -r fx fy fw fh < <(frame_of "$wid")
  if [ "$fx" -ge 0 ] && [ $((fx + fw)) -le 1280 ] && [ "$fy" -eq 300 ]; then pass; else
    fail "$wm: unplugged monitor: frame at $fx,$fy (${fw}x$fh) on a 1280-pixel screen"; fi
  leave_by_close_button

  # Text that is not a number: the warning stands centred on the screen,
  # not over the window (which stands off the screen's centre here).
  stored 100 40 2
  start_app "$work/portable/cttax"
  click_client 100 100
  xdotool type --delay 30 x
  warning=$(timeout 10 xdotool search --sync --onlyvisible --name '^Warning$' | head -n 1)
  if [ -n "$warning" ]; then
    sleep 0.4
    read -r wx wy ww wh < <(frame_of "$warning")
    # The work area, or the whole screen where the window manager names none (i3).
    read -r ax ay aw ah _ < <(xprop -root _NET_WORKAREA | grep '=' | sed "s/.*= //; s/,//g" || echo 0 0 1280 1024)
    dx=$((wx + ww / 2 - ax - aw / 2)) dy=$((wy + wh / 2 - ay - ah / 2))
    echo "$wm: warning frame at $wx,$wy (${ww}x$wh), off the work area's centre by $dx,$dy"
    [ "$wm" = openbox ] && import -window root "$shots/cttax-e2e-warning-$wm.png" 2>/dev/null
    if [ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ]; then pass; else fail "$wm: warning not centred on the screen: $dx,$dy"; fi
    wmctrl -i -c "$warning" # its close button, as a person would
    for _ in $(seq 50); do xwininfo -id "$warning" 2>/dev/null | grep -q IsViewable || break; sleep 0.1; done
  else
    fail "$wm: no warning for 'x'"
  fi
  leave_by_close_button

  # The help window reappears where it was closed, showing after showing,
  # also after the user moved it (i3 moved it by its frame each time).
  start_app "$work/portable/cttax"
  places=""
  for showing in 1 2 3 4; do
    xdotool windowactivate --sync "$wid" key --clearmodifiers alt+h
    help=$(timeout 10 xdotool search --sync --onlyvisible --name '^Kaldo 2011 Help$' | head -n 1)
    sleep 0.6
    [ "$showing" = 2 ] && { wmctrl -i -r "$help" -e 0,100,50,-1,-1; sleep 0.4; }
    read -r hx hy _ < <(frame_of "$help")
    places="$places $hx,$hy"
    wmctrl -i -c "$help"
    sleep 0.4
  done
  echo "$wm: help window frame at each showing:$places"
  read -r first second third fourth <<<"$places"
  expect_eq "$wm: help window reappears where it was closed" "$first/$third/$fourth" "$first/$second/$second"
  if [ "$third" != "$first" ]; then pass; else fail "$wm: the moved help window came back unmoved"; fi
  leave_by_close_button

  # Typing at once goes to the filing status, not to an amount.
  stored 300 400 2
  start_app "$work/portable/cttax"
  xdotool type --delay 30 75
  leave_by_file_exit
  expect_eq "$wm: typing at start changes no amount" "$(line_of "$fig" 3)/$(line_of "$fig" 4)" \
    " 5.00000000000000E+0004/ 0.00000000000000E+0000"
  stop_wm
done

start_wm openbox

# Fractional scales: the stored position comes back exactly, run after run.
for scale in 1.75 1.5; do
  stored 301 401 1
  saved=""
  for run in 1 2 3 4; do
    QT_SCALE_FACTOR=$scale start_app "$work/portable/cttax"
    leave_by_close_button
    saved="$saved $(line_of "$fig" 1)/$(line_of "$fig" 2)"
  done
  expect_eq "scale $scale: stored position over four runs" "$saved" " 301/401 301/401 301/401 301/401"
done

# The end of the session (a log-off, kill, a closed terminal): SIGTERM and
# SIGHUP save what was typed, as a close does, and the program ends; a save
# that fails then is told on standard error, with no box to hold it up.
for signal in TERM HUP; do
  stored 300 400 2
  start_app "$work/portable/cttax"
  click_client 100 100
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 30 61000
  kill -$signal "$pid"
  wait_exit
  expect_eq "SIG$signal: the typed AGI saved" "$(line_of "$fig" 3)" " 6.10000000000000E+0004"
done
stored 300 400 2
chmod a-w "$fig" "$work/portable"
app_log=$work/ending.log start_app "$work/portable/cttax"
kill -TERM "$pid"
wait_exit
chmod u+w "$fig" "$work/portable"
expect_eq "SIGTERM, save refused: told on standard error" "$(grep -c 'File access denied\.' "$work/ending.log")" 1

# A folder name that is not UTF-8: the file beside the executable is used,
# and nothing is written where the application was started from.
odd=$work/$(printf 'caf\xe9')
mkdir "$odd" "$work/cwd"
cp "$app" "$odd/cttax"
printf '300\r\n400\r\n 1.23000000000000E+0002\r\n 0.00000000000000E+0000\r\n3\r\n' > "$odd/cttax.fig"
(cd "$work/cwd" && start_app "$odd/cttax" && click_client 275 100 && leave_by_close_button)
expect_eq "folder not UTF-8: status saved beside the executable" "$(line_of "$odd/cttax.fig" 5)" "0"
expect_eq "folder not UTF-8: AGI kept" "$(line_of "$odd/cttax.fig" 3)" " 1.23000000000000E+0002"
expect_eq "folder not UTF-8: nothing in the working folder" "$(ls -A "$work/cwd")" ""

# Installed where a normal user cannot write: the settings go to the user's
# configuration folder, created private, and closing shows no error.
if id nobody >/dev/null 2>&1 && command -v setpriv >/dev/null; then
  mkdir -p "$work/usr/bin" "$work/home"
  cp "$app" "$work/usr/bin/cttax"
  chown nobody "$work/home"
  as_nobody() { setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$work/home" XDG_RUNTIME_DIR= "$@"; }
  start_app as_nobody "$work/usr/bin/cttax"
  click_client 275 196            # "Household"
  leave_by_file_exit
  config=$work/home/.config/cttax
  expect_eq "system install: settings in the config folder" "$(line_of "$config/cttax.fig" 5)" "3"
  expect_eq "system install: config folder private" "$(stat -c %a "$config")" "700"
  expect_eq "system install: nothing beside the executable" "$(ls "$work/usr/bin")" "cttax"
  start_app as_nobody "$work/usr/bin/cttax"
  leave_by_close_button
  expect_eq "system install: kept at the next start" "$(line_of "$config/cttax.fig" 5)" "3"
else
  echo "skipped: the system-install case needs the user nobody and setpriv"
fi

# Killed at save time, again and again: the file stays whole, and no
# temporaries pile up.
stored 300 400 1
whole=$(cat "$fig")
leftovers=0
for i in $(seq 15); do
  start_app "$work/portable/cttax"
  xdotool mousemove --window "$wid" 12 $(($(menu_height) / 2)) click 1
  sleep 0.3
  xdotool key --clearmodifiers e
  sleep "0.00$((i % 10))"
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  [ "$(cat "$fig")" = "$whole" ] || fail "kill -9, run $i: the settings file changed: $(tr '\r\n' '  ' < "$fig")"
  extra=$(find "$work/portable" -mindepth 1 -not -name cttax -not -name cttax.fig | wc -l)
  leftovers=$((leftovers + extra))
  [ "$extra" -le 1 ] || fail "kill -9, run $i: $extra leftovers"
done
start_app "$work/portable/cttax"
leave_by_file_exit
expect_eq "kill -9: nothing left after a clean save" "$(ls "$work/portable" | tr '\n' ' ')" "cttax cttax.fig "
echo "kill -9 at save time: 15 runs, $leftovers temporaries seen along the way"
stop_wm

# A display that does not answer: one clear line and status 1, no core dump.
out=$(DISPLAY=:987 "$work/portable/cttax" 2>&1)
status=$?
expect_eq "unreachable display: status" "$status" "1"
expect_eq "unreachable display: one line" "$(printf '%s\n' "$out" | wc -l)" "1"
case $out in *"xvfb-run -a $work/portable/cttax"*) pass ;; *) fail "unreachable display: '$out'" ;; esac
# No platform plugin of that name, and a display that refuses the client:
# the cause Qt gave, and no xvfb-run hint that would fail the same way.
out=$(QT_QPA_PLATFORM=bogus "$work/portable/cttax" 2>&1)
case $out in *'no platform plugin "bogus"'*xcb*) pass ;; *) fail "bogus platform: '$out'" ;; esac
case $out in *xvfb-run*) fail "bogus platform: the hint given: '$out'" ;; *) pass ;; esac
xauth -f "$work/xauthority" add :0 . "$(mcookie)" 2>/dev/null
Xvfb -displayfd 3 -auth "$work/xauthority" -nolisten tcp 3>"$work/auth-display" >/dev/null 2>&1 &
auth_xvfb=$!
for _ in $(seq 100); do [ -s "$work/auth-display" ] && break; sleep 0.05; done
out=$(DISPLAY=:$(head -n1 "$work/auth-display") XAUTHORITY=/nonexistent "$work/portable/cttax" 2>&1 | grep '^cttax:')
kill $auth_xvfb; wait $auth_xvfb 2>/dev/null
case $out in *"refused the connection"*) pass ;; *) fail "refusing display: '$out'" ;; esac
case $out in *xvfb-run*) fail "refusing display: the hint given: '$out'" ;; *) pass ;; esac

echo "window session: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
