# SPDX-License-Identifier: MIT
# Shared by the Wine sessions (after lib.sh): a display with openbox, a Wine
# prefix of the session's own under OUT, cttax.exe on a folder as on a USB
# stick, and our driver to press keys and read the windows.
#   wine_setup DRIVER.exe CTTAX.exe OUT [PREFIX-NAME]   sets work, stick, fig, relay
# The prefix (OUT/wineprefix by default) is kept between runs: it takes a
# while to make.
wine=/usr/lib/wine/wine64

wine_setup() {
  command -v Xvfb >/dev/null && command -v openbox >/dev/null && [ -x "$wine" ] || { echo "Xvfb, openbox or wine64 missing"; exit 77; }
  out=$(mkdir -p "$3" && cd "$3" && pwd)
  work=$(mktemp -d "$out/wine-e2e.XXXXXX")
  # What a failed run saw stays for a look (the relay log, the driver's log).
  trap '/usr/lib/wine/wineserver -k 2>/dev/null; stop_wm; kill "$xvfb_pid" 2>/dev/null; [ "$failed" -eq 0 ] && rm -rf "$work"' EXIT
  start_display
  start_wm openbox
  export WINEPREFIX=$out/${4:-wineprefix} WINEDEBUG=-all
  /usr/lib/wine/wineserver -k 2>/dev/null
  # One virtual desktop, where Wine's windows take key presses reliably;
  # the classic look without Wine's theme, whose colours would override the
  # session's own; the calls the relay log records.
  reg 'HKCU\Software\Wine\Explorer' Desktop Default
  reg 'HKCU\Software\Wine\Explorer\Desktops' Default 1200x900
  reg 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' ThemeActive 0
  reg 'HKCU\Software\Wine\Debug' RelayInclude 'user32.MessageBeep;user32.MessageBoxW;shell32.ShellExecuteW'
  stick=$work/stick
  mkdir -p "$stick"
  cp "$2" "$stick/cttax.exe"
  cp "$1" "$work/driver.exe"
  fig=$stick/cttax.fig
  relay=$work/relay.log
}

reg() { "$wine" reg add "$1" /v "$2" /d "$3" /f >/dev/null 2>&1; }
reg_dword() { "$wine" reg add "$1" /v "$2" /t REG_DWORD /d "$3" /f >/dev/null 2>&1; }
start_cttax() {
  WINEDEBUG=+relay "$wine" "$stick/cttax.exe" 2>>"$relay" >/dev/null &
  cttax_pid=$!
}
# Runs driver commands (one per argument) and prints its answers.
drive() {
  printf '%s\n' "$@" >"$work/script.txt"
  timeout 120 "$wine" "$work/driver.exe" "$(winepath_of "$work/script.txt")" 2>>"$work/driver.log" | tr -d '\r'
}
winepath_of() { echo "Z:${1//\//\\}"; }
answer() { printf '%s\n' "$1" | sed -n "$2p"; }
shot() { import -window root "$out/$1.png"; }
wait_gone() { for _ in $(seq 100); do kill -0 "$cttax_pid" 2>/dev/null || return 0; sleep 0.1; done; fail "cttax.exe still running"; }
