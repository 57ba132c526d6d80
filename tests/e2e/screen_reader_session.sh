#!/usr/bin/env bash
# The window as a screen reader has it, over AT-SPI on a session bus under a
# window manager: each of the eight boxes with its name, its text and a text
# attribute run over the whole text; then Orca itself (no audio: its debug
# file) tabbing through the window speaks every amount whole, and names the
# box that has the focus again after the input warning.
# Usage: screen_reader_session.sh path/to/cttax [folder for logs]
set -uo pipefail
app=$(realpath "$1")
logs=$(realpath "${2:-.}")
here=$(dirname "$(realpath "$0")")
# shellcheck source=lib.sh
. "$here/lib.sh"
py=/usr/bin/python3 # Debian's, which has the GObject bindings
$py -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
  { echo "SKIP: python3-gi and gir1.2-atspi-2.0 are missing"; exit 77; }
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "SKIP: at-spi2-core is missing"; exit 77; }

if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] || [ "${CTTAX_IN_BUS:-}" != 1 ]; then
  exec env CTTAX_IN_BUS=1 dbus-run-session -- "$0" "$@"
fi
work=$(mktemp -d)
trap 'kill "$pid" "$orca_pid" "$bus_pid" 2>/dev/null; stop_wm; kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT
pid= orca_pid= bus_pid=
mkdir "$work/portable"
cp "$app" "$work/portable/cttax"
printf '300\r\n400\r\n 6.00000000000000E+0004\r\n 1.20000000000000E+0003\r\n1\r\n' > "$work/portable/cttax.fig"
export XDG_RUNTIME_DIR=$work/runtime HOME=$work/home
mkdir -m 700 "$XDG_RUNTIME_DIR" "$HOME"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0 GTK_MODULES=gail:atk-bridge
start_display
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
bus_pid=$!
sleep 0.5
start_wm openbox
start_app "$work/portable/cttax"

# ---------------------------------------------------------------- AT-SPI
$py -W ignore - >"$work/atspi.txt" 2>&1 <<'PY'
import gi, time
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi
def boxes():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        found = []
        def walk(node):
            for j in range(node.get_child_count()):
                child = node.get_child_at_index(j)
                if child is None:
                    continue
                if child.get_role_name() in ("entry", "text") and child.get_text_iface() is not None:
                    found.append(child)
                walk(child)
        walk(app)
        if any(b.get_name() == "CT Adjusted Gross Income" for b in found):
            return found
    return []
for _ in range(50):
    found = boxes()
    if len(found) >= 8:
        break
    time.sleep(0.2)
for box in found:
    text = Atspi.Text.get_text(box, 0, -1)
    last = max(0, len(text) - 1)
    _, s0, e0 = Atspi.Text.get_attribute_run(box, 0, False)
    _, s1, e1 = Atspi.Text.get_attribute_run(box, last, False)
    print(f"{box.get_name()}|{text}|{s0},{e0}|{s1},{e1}")
PY
expected=(
  "CT Adjusted Gross Income|60000|0,5|0,5"
  "CT Property Tax Paid|1200|0,4|0,4"
  "Personal Exemption Table A|12000|0,5|0,5"
  "CT Income Tax from Table B|2000|0,4|0,4"
  "Tax Credit Decimal Table C|0.1|0,3|0,3"
  "CT Personal Tax Credit|200|0,3|0,3"
  "Property Tax Credit Allowance|500|0,3|0,3"
  "Connecticut State Income Tax|1300|0,4|0,4"
)
for line in "${expected[@]}"; do
  if grep -qxF "$line" "$work/atspi.txt"; then pass; else fail "AT-SPI: no box '$line' in: $(tr '\n' ';' < "$work/atspi.txt")"; fi
done

# ---------------------------------------------------------------- Orca
if command -v orca >/dev/null; then
  orca --replace --debug-file="$work/orca.log" >/dev/null 2>&1 &
  orca_pid=$!
  sleep 3
  xdotool windowactivate --sync "$wid" 2>/dev/null
  for _ in $(seq 12); do xdotool key --clearmodifiers Tab; sleep 0.4; done
  # Text that is not a number: after the warning, the box is named again.
  click_client 100 100
  xdotool key --clearmodifiers End; sleep 0.2
  xdotool type --delay 50 x; sleep 1
  warning=$(xdotool search --onlyvisible --name '^Warning$' | head -n 1)
  [ -n "$warning" ] && { wmctrl -i -c "$warning"; sleep 1.5; }
  # A box that holds 0: no property tax, then along the tab order
  # (Edit2, the status, Edit1, Edit3 ... Edit7) to the credit.
  xdotool key --clearmodifiers BackSpace; sleep 0.3
  click_client 100 190
  xdotool key --clearmodifiers ctrl+a; xdotool type --delay 50 0; sleep 0.5
  for _ in $(seq 7); do xdotool key --clearmodifiers Tab; sleep 0.4; done
  sleep 2
  cp "$work/orca.log" "$logs/cttax-e2e-orca.log" 2>/dev/null
  speech=$(grep -a 'SPEECH OUTPUT' "$work/orca.log")
  # Orca writes its debug file late: what it said from the warning on to the
  # next key, read at the end.
  after=$(printf '%s\n' "$speech" | sed -n "/'alert Warning/,/'backspace/p")
  for amount in "'60000 selected." "'2000 selected." "'0.1 selected." "'1300 selected." "'0'"; do
    case $speech in *"$amount"*) pass ;; *) fail "Orca never said $amount" ;; esac
  done
  for short in "'6000 selected" "'130 selected" "'0. selected"; do
    case $speech in *"$short"*) fail "Orca said an amount short: $short" ;; *) pass ;; esac
  done
  case $after in *"CT Adjusted Gross Income"*) pass ;; *) fail "after the warning Orca did not name the box: $after" ;; esac
else
  echo "SKIP: orca is not installed (the AT-SPI cases ran)"
fi
leave_by_close_button
echo "screen reader session: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
