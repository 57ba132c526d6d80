#!/usr/bin/env bash
# The Windows window on every screen a Windows user has: at 96, 120, 144 and
# 192 DPI every caption ends before its box, nothing overlaps or is cut off,
# and the help window fits the work area; under a high-contrast scheme every
# text stands out from its background and the focused status item shows.
# Read from the screen by our driver under Wine; screenshots in OUT.
#   wine_display.sh DRIVER.exe CTTAX.exe OUT-FOLDER
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
source "$here/wine_lib.sh"
export XVFB_SCREEN=2000x1500 # a 192 DPI window fits on it
wine_setup "$1" "$2" "$3" wineprefix-display
# The prefix's own colours to start with, whatever an earlier run left:
# kept at its first run, put back at every later one.
colours=$WINEPREFIX/colours-as-made.reg
if [ -f "$colours" ]; then
  "$wine" reg import "$(winepath_of "$colours")" >/dev/null 2>&1
else
  "$wine" reg export 'HKCU\Control Panel\Colors' "$(winepath_of "$colours")" >/dev/null 2>&1
fi

# Starts cttax.exe afresh at DPI on a desktop of the size given, with the
# prefix's colours (the server is restarted so that all are read again).
start_at() { # dpi desktop-size
  reg_dword 'HKCU\Control Panel\Desktop' LogPixels "$1"
  reg 'HKCU\Software\Wine\Explorer\Desktops' Default "$2"
  /usr/lib/wine/wineserver -k 2>/dev/null
  /usr/lib/wine/wineserver -w 2>/dev/null
  start_cttax
  drive "wait-window Kaldo 2011" >/dev/null
  sleep 0.5
}
leave() { drive close >/dev/null; wait_gone; }

# The six result rows: caption id, box id.
rows="136 103 137 104 138 105 139 106 140 107 141 108"

# The DPIs with a desktop each: 144 on a 1080-pixel screen (150 %), where
# the help window is taller than the work area; 192 taller still.
for run in 96:1600x1200 120:1920x1440 144:1920x1080 192:1920x1440; do
  dpi=${run%%:*}
  start_at "$dpi" "${run#*:}"
  layout=$(drive layout)
  place() { printf '%s\n' "$layout" | awk -v id="$1" '$1 == id { print $2, $3, $4, $5 }'; }
  set -- $rows
  while [ $# -gt 0 ]; do
    caption=($(place "$1")) box=($(place "$2"))
    ink=$(drive "ink $1" | cut -d' ' -f4)
    [ "${caption[2]}" -le "${box[0]}" ] && [ "$ink" -le "${box[0]}" ] && pass ||
      fail "$dpi dpi: caption $1 (right ${caption[2]}, ink to $ink) runs into box $2 at ${box[0]}"
    shift 2
  done
  shot "cttax-wine-$dpi-dpi"
  # The help window: a fixed size, inside the work area, its text scrolling
  # where the window had to be shortened.
  help=$(drive "keys alt+h" help-frame)
  frame=($(answer "$help" 1 | cut -d' ' -f2-)) area=($(answer "$help" 2 | cut -d' ' -f2-))
  expect_eq "$dpi dpi: help window not sizable" "$(answer "$help" 3)" "sizable 0"
  [ "${frame[1]}" -ge "${area[1]}" ] && [ "${frame[3]}" -le "${area[3]}" ] && pass ||
    fail "$dpi dpi: help frame ${frame[*]} outside the work area ${area[*]}"
  full=$((759 * dpi / 96)) # the client area's height where there is room
  expect_eq "$dpi dpi: help text scrolls where the window is shortened" "$(answer "$help" 4)" \
    "scrolls $([ $((full + 60 * dpi / 96)) -gt $((area[3] - area[1])) ] && echo 1 || echo 0)"
  echo "$dpi dpi: help $(echo $help)"
  shot "cttax-wine-$dpi-dpi-help"
  leave
done
# The focused status item shows at every DPI's colours above and under high
# contrast below: tabbing away changes what it shows.
focus_shows() { # label
  got=$(drive activate "click 112" "snap 112" "keys tab" "changed 112" | cut -d' ' -f3)
  [ "${got:-0}" -ge 20 ] && pass || fail "$1: the focused status item looks as the others ($got pixels differ)"
}

# High contrast (the black scheme): every text stands out from its background.
start_at 96 1600x1200
focus_shows "default colours"
leave
scheme="Window:0 0 0|WindowText:255 255 255|ButtonFace:0 0 0|ButtonText:255 255 255|AppWorkSpace:0 0 0
Background:0 0 0|GradientInactiveTitle:0 0 0|InactiveTitle:0 0 0|InactiveTitleText:0 255 0|GrayText:0 255 0
Hilight:0 0 255|HilightText:255 255 255|Menu:0 0 0|MenuText:255 255 255|ButtonShadow:128 128 128|ButtonHilight:192 192 192|MenuBar:0 0 0"
for pair in $(printf '%s' "$scheme" | tr ' ' '_' | tr '|\n' '  '); do
  reg 'HKCU\Control Panel\Colors' "${pair%%:*}" "$(printf '%s' "${pair#*:}" | tr '_' ' ')"
done
start_at 96 1600x1200
drive "click 101" "keys home shift+end" "type 60000" "click 102" "keys home shift+end" "type 1200" "keys tab" >/dev/null
for id in 101 102 103 104 105 106 107 108 111 112 113 114 131 132 133 134 135 136 137 138 139 140 141; do
  got=$(drive "ink $id" | cut -d' ' -f3)
  [ "${got:-0}" -ge 128 ] && pass || fail "high contrast: control $id shows nothing that stands out ($got)"
done
focus_shows "high contrast"
shot cttax-wine-high-contrast
got=$(drive "keys alt+h" "ink 301" | cut -d' ' -f3)
[ "${got:-0}" -ge 128 ] && pass || fail "high contrast: the help text does not stand out ($got)"
shot cttax-wine-high-contrast-help
leave

echo "wine_display: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
