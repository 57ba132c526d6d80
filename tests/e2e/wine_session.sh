#!/usr/bin/env bash
# The Windows window as a person uses it: cttax.exe under Wine in a virtual
# display with a window manager, driven with real key presses and clicks by
# our own Win32 driver, which reads back every box, the message boxes and
# the help window. The calls that leave no trace on the screen (the beep,
# the message boxes' icons, the browser) are read from Wine's relay log.
#   wine_session.sh DRIVER.exe CTTAX.exe OUT-FOLDER
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
source "$here/wine_lib.sh"
wine_setup "$1" "$2" "$3"
# The colours of a Windows 10 desktop.
reg 'HKCU\Control Panel\Colors' AppWorkSpace '171 171 171'
reg 'HKCU\Control Panel\Colors' GradientInactiveTitle '215 228 242'

# ---------------------------------------------------------------- first start
start_cttax
got=$(drive "wait-window Kaldo 2011" client texts checked focus)
expect_eq "first start: frame at 10,10" "$(answer "$got" 1 | cut -d' ' -f1-3)" "frame 10 10"
expect_eq "client area" "$(answer "$got" 2)" "client 502 523"
expect_eq "first start: boxes" "$(answer "$got" 3,10 | cut -d= -f2 | tr '\n' ' ')" "0 0 13000 0 0 0 0 0 "
expect_eq "first start: Single selected" "$(answer "$got" 11)" "checked 0"
expect_eq "first start: focus on the selected status" "$(answer "$got" 12)" "focus 111"
shot cttax-wine-main-start

# Typed as a person types: the status clicked, each amount typed over the
# selected old one, key by key. The six texts are the Linux window's.
typed() { # name status agi property expected-six [warnings]
  local got results warned
  got=$(drive "click $((111 + $2))" "click 101" "keys home shift+end" "type $3" \
    "click 102" "keys home shift+end" "type $4" texts checked)
  results=$(printf '%s\n' "$got" | grep '^10[3-8]=' | cut -d= -f2 | tr '\n' ' ')
  warned=$(printf '%s\n' "$got" | grep -c '^warned after')
  expect_eq "typed $1: results" "$results" "$5 "
  expect_eq "typed $1: inputs" "$(printf '%s\n' "$got" | grep '^10[12]=' | cut -d= -f2 | tr '\n' ' ')" "$3 $4 "
  expect_eq "typed $1: status" "$(printf '%s\n' "$got" | grep '^checked')" "checked $2"
  expect_eq "typed $1: warnings" "$warned" "${6:-0}"
}
typed single_16300 0 16300 0 "13000 99 0.75 74 0 25"
typed household_40000 3 40000 0 "17000 830 0.15 124 0 706"
typed half_to_even_302 0 23050 0 "13000 302 0.2 60 0 242"
typed exponent 2 3e4 3e2 "6000 1000 0.1 100 300 600" 2
typed thousands_separator 0 1,234 0 "13000 0 0 0 0 0" 4
typed married_60000 1 60000 1200 "12000 2000 0.1 200 500 1300"

# What a screen reader hears for each box (MSAA): its caption, no "$", no
# dot leaders.
expect_eq "screen reader: the boxes' names" "$(drive names | cut -d' ' -f3- | tr '\n' '|')" \
  "CT Adjusted Gross Income|CT Property Tax Paid|Personal Exemption Table A|CT Income Tax from Table B|Tax Credit Decimal Table C|CT Personal Tax Credit|Property Tax Credit Allowance|Connecticut State Income Tax|"

# The keyboard in the status group: Tab enters it at the selected item and
# selects nothing; the arrows select the next item, wrapping round.
got=$(drive "click 102" "keys tab" focus checked)
expect_eq "tab into the status group: the selected item, nothing changed" "$(echo $got)" "focus 112 checked 1"
got=$(drive "keys down" checked "keys down" checked "keys down" checked focus "keys up" checked "keys up" "keys up" checked focus)
expect_eq "arrows select and wrap" "$(echo $got)" "checked 2 checked 3 checked 0 focus 111 checked 3 checked 1 focus 112"
expect_eq "arrows: the results follow" "$(drive texts | sed -n 3,8p | cut -d= -f2 | tr '\n' ' ')" "12000 2000 0.1 200 500 1300 "

# Ctrl+A on a box whose text the warning was about: no second warning.
agi_warning='Call user32.MessageBoxW([0-9a-f]*,[0-9a-f]* L"Error in CT AGI entry.",[0-9a-f]* L"Warning",[0-9a-f]*00000030)'
got=$(drive "click 101" "keys end" "type x")
expect_eq "x: warned" "$got" "warned after x"
sleep 0.5
warned=$(grep -c "$agi_warning" "$relay") beeps=$(grep -c 'Call user32.MessageBeep([0-9a-f]*00000000)' "$relay")
drive "keys ctrl+a" "keys ctrl+a" >/dev/null
sleep 0.5
expect_eq "ctrl+a: no warning again" "$(grep -c "$agi_warning" "$relay") $(grep -c 'Call user32.MessageBeep([0-9a-f]*00000000)' "$relay")" "$warned $beeps"
drive "click 101" "keys end back" >/dev/null

# A long paste is taken whole: 40,000 zeros and a 5 (the edit control's
# own limit is 30,000), then 70,000 (past 16 bits; Wine's edit control lays a
# long line out slowly, seconds per 100,000 characters; the megabyte is
# pasted in the Qt window's test).
for count in 40000 69999; do
  got=$(drive "click 101" "keys home shift+end" "clipboard $count 0 5" "keys ctrl+v" "length 101 $((count + 1))" | grep -v '^clipboard')
  expect_eq "paste of $((count + 1)) characters: all of it" "$got" "length $((count + 1)) last 5"
  expect_eq "paste of $((count + 1)) characters: computed for 5" "$(drive texts | sed -n 3,8p | cut -d= -f2 | tr '\n' ' ')" \
    "24000 0 0 0 500 0 "
done
drive "click 101" "keys home shift+end" "type 60000" >/dev/null

# "abc": the warning at the first key, modal, with the beep after it.
before=$(grep -c 'Call user32.MessageBeep([0-9a-f]*00000000)' "$relay")
warning='Call user32.MessageBoxW([0-9a-f]*,[0-9a-f]* L"Error in CT PROPERTY TAX entry.",[0-9a-f]* L"Warning",[0-9a-f]*00000030)'
warnings=$(grep -c "$warning" "$relay")
got=$(drive "click 102" "keys end" "type a" texts)
expect_eq "abc: warned at the first key" "$(answer "$got" 1)" "warned after a"
expect_eq "abc: bad text stays" "$(printf '%s\n' "$got" | grep '^102=' | cut -d= -f2)" "1200a"
sleep 0.5
expect_eq "abc: one beep of type 0" "$(grep -c 'Call user32.MessageBeep([0-9a-f]*00000000)' "$relay")" "$((before + 1))"
expect_eq "abc: warning box with the exclamation icon" "$(grep -c "$warning" "$relay")" "$((warnings + 1))"
drive "click 102" "keys end back" >/dev/null

# The help window and the home page.
got=$(drive "keys alt+h" "help-text")
expect_eq "help: its text" "$(answer "$got" 1 | cut -c1-60)" "help        INSTRUCTIONS FOR USING CONNECTICUT|          STA"
expect_eq "help: the home page in it" "$(answer "$got" 1 | grep -c 'https://cttax.example.org/')" "1"
shot cttax-wine-help
drive "keys esc" >/dev/null
drive activate "keys alt+k" >/dev/null
sleep 0.5
# (The relay shows the whole register an int is passed in: only its low 32
# bits are the argument.)
expect_eq "home page: the shell's open action, normal window" \
  "$(grep -c 'Call shell32.ShellExecuteW(00000000,[0-9a-f]* L"open",[0-9a-f]* L"https://cttax.example.org/",00000000,00000000,[0-9a-f]*00000001)' "$relay")" "1"

# A warning on the screen, for the picture.
drive "click 101" "keys end" >/dev/null
printf 'keys x\n' >"$work/typing.txt"
"$wine" "$work/driver.exe" "$(winepath_of "$work/typing.txt")" >/dev/null 2>&1 &
typing=$!
got=$(drive "see Warning")
expect_eq "warning on the screen" "$(answer "$got" 1)" "box Warning | Error in CT AGI entry."
read -r _ bx by _ sx sy <<<"$(answer "$got" 2)"
expect_eq "warning centred on the screen" "$(( (bx - sx) / 2 )) $(( (by - sy) / 2 ))" "0 0"
shot cttax-wine-warning
drive "box Warning" >/dev/null
wait "$typing"
drive "click 101" "keys end back" >/dev/null

# File > Exit from the keyboard, after a move: the file the Linux build
# would write, byte for byte.
drive "move 200 150" >/dev/null
drive activate "keys alt+f e" >/dev/null
wait_gone
expect_eq "exit: the settings file beside the .exe" \
  "$(od -An -c "$fig" | tr -s ' ')" \
  "$(printf '150\r\n200\r\n 6.00000000000000E+0004\r\n 1.20000000000000E+0003\r\n1\r\n' | od -An -c | tr -s ' ')"
expect_eq "exit: nothing else left beside it" "$(ls "$stick" | tr '\n' ' ')" "cttax.exe cttax.fig "

# ---------------------------------------------------------------- second start
start_cttax
got=$(drive "wait-window Kaldo 2011" texts checked)
expect_eq "restart: frame where it was left" "$(answer "$got" 1 | cut -d' ' -f1-3)" "frame 200 150"
expect_eq "restart: amounts and results" "$(answer "$got" 2,9 | cut -d= -f2 | tr '\n' ' ')" \
  "60000 1200 12000 2000 0.1 200 500 1300 "
expect_eq "restart: Married" "$(answer "$got" 10)" "checked 1"
shot cttax-wine-main-restored
# Closed at once: what it showed is what it saves, byte for byte.
saved=$(od -An -c "$fig" | tr -s ' ')
drive close >/dev/null
wait_gone
expect_eq "restart, closed at once: the file as it was" "$(od -An -c "$fig" | tr -s ' ')" "$saved"

# One key typed after a restoring start computes with every restored value.
start_cttax
got=$(drive "wait-window Kaldo 2011" "click 101" "keys end" "type 0" texts checked)
expect_eq "restart, one key: amounts and results" "$(answer "$got" 2,9 | cut -d= -f2 | tr '\n' ' ')" \
  "600000 1200 0 29600 0 0 500 29100 "
expect_eq "restart, one key: Married" "$(answer "$got" 10)" "checked 1"

# A log-off with the window open (wineboot ends the session): the values
# typed since the start are saved, and cttax.exe ends.
drive "click 101" "keys home shift+end" "type 61000" >/dev/null
"$wine" wineboot --end-session >/dev/null 2>&1
wait_gone
expect_eq "log-off: the typed AGI saved" "$(sed -n 3p "$fig" | tr -d '\r')" " 6.10000000000000E+0004"
sed -i '3s/.*/ 6.00000000000000E+0004\r/' "$fig"
start_cttax
drive "wait-window Kaldo 2011" >/dev/null

# A file that cannot be written: the error report with the table's message
# and the file's place, under the application title (cttax.exe: "cttax");
# the window still closes.
chmod a-w "$fig"
got=$(drive close "box cttax")
expect_eq "read-only file: error report" "$(answer "$got" 2)" "box cttax | File access denied.|$(winepath_of "$fig")"
expect_eq "read-only file: stop icon" "$(grep -c 'Call user32.MessageBoxW([0-9a-f]*,[0-9a-f]* L"File access denied\.\\n.*",[0-9a-f]* L"cttax",[0-9a-f]*00000010)' "$relay")" "1"
wait_gone
chmod u+w "$fig"
expect_eq "read-only file: kept as it was" "$(sed -n 1p "$fig" | tr -d '\r')" "150"

# A damaged file: one error box at start, the window at its design place
# with the placeholders.
printf '1\r\n2\r\n1,234\r\n' >"$fig"
start_cttax
got=$(drive "box cttax" "wait-window Kaldo 2011" texts checked)
expect_eq "damaged file: error report" "$(answer "$got" 1)" "box cttax | Invalid numeric input.|$(winepath_of "$fig")"
expect_eq "damaged file: design position" "$(answer "$got" 2 | cut -d' ' -f1-3)" "frame 637 342"
expect_eq "damaged file: placeholders" "$(answer "$got" 3 | cut -d= -f2)" "123456789.00"
expect_eq "damaged file: no status selected, focus on the first" "$(answer "$got" 11) $(drive focus)" "checked -1 focus 111"
drive close >/dev/null
wait_gone

echo "wine session: $passed passed, $failed failed (screenshots in $out)"
[ "$failed" -eq 0 ]
