#!/usr/bin/env bash
# Builds the Windows downloads from the cross build in build-windows
# (scripts/test-windows.sh makes it): the portable zip and the installer.
#   build-windows/cttax-VERSION-win64.zip        cttax.exe, cttax-calc.exe, README.txt, LICENSE.txt
#   build-windows/cttax-VERSION-setup.exe        per-user installer (NSIS)
# With --check the installer is then run under wine64, silently: installed,
# started from its folder, uninstalled, and the user's settings kept.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh
scripts/install-deps.sh nsis zip
build=build-windows
version=$(project_version)
package=$build/package
rm -rf "$package" && mkdir -p "$package"
sed "s/@VERSION@/$version/" packaging/windows/README.txt | sed 's/$/\r/' >"$package/README.txt"
sed -n '/^License: Expat$/,$p' packaging/copyright | tail -n +2 | sed 's/^ //; s/^\.$//; s/$/\r/' >"$package/LICENSE.txt"

zip=$build/cttax-$version-win64.zip
rm -f "$zip"
(cd "$package" && cp ../ui/win32/cttax.exe ../cli/cttax-calc.exe . &&
  zip -q -X "../$(basename "$zip")" cttax.exe cttax-calc.exe README.txt LICENSE.txt && rm cttax.exe cttax-calc.exe)
setup=$build/cttax-$version-setup.exe
makensis -V2 -DVERSION="$version" -DBUILD="$PWD/$build" -DOUT="$PWD/$setup" packaging/windows/cttax.nsi
echo "$zip: $(stat -c %s "$zip") bytes; $setup: $(stat -c %s "$setup") bytes"

[ "${1:-}" = --check ] || exit 0
use_wine "${WINEPREFIX:-$PWD/$build/wineprefix}"
failed=0
check() { if [ "$2" = "$3" ]; then :; else echo "FAIL: installer: $1: got '$2', expected '$3'"; failed=1; fi; }
"$wine" cmd /c exit >/dev/null 2>&1
local_app=$("$wine" cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
folder=$("$wine" winepath -u "$local_app\\Programs\\cttax" 2>/dev/null)
start_menu=$("$wine" winepath -u "$("$wine" cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs" 2>/dev/null)
rm -rf "$folder"
# (the install runs as the setup program; the uninstaller goes on from a copy
# of itself after it returns: waited for by what it leaves)
"$wine" "$setup" /S
check "installed files" "$(ls "$folder" 2>/dev/null | tr '\n' ' ')" "LICENSE.txt README.txt cttax-calc.exe cttax.exe uninstall.exe "
check "Start-menu entry" "$(ls "$start_menu" 2>/dev/null | grep -c '^cttax.lnk$')" "1"
check "calculator runs from there" "$(printf '0,16300,0\n' | "$wine" "$folder/cttax-calc.exe" 2>/dev/null | tr -d '\r')" \
  "$(printf '0,16300,0\n' | "$wine" "$build/cli/cttax-calc.exe" 2>/dev/null | tr -d '\r')"
printf '10\r\n10\r\n 0.00000000000000E+0000\r\n 0.00000000000000E+0000\r\n0\r\n' >"$folder/cttax.fig"
"$wine" "$folder/uninstall.exe" /S
for _ in $(seq 100); do [ -e "$folder/uninstall.exe" ] || break; sleep 0.1; done
check "after uninstalling, only the settings" "$(ls "$folder" 2>/dev/null | tr '\n' ' ')" "cttax.fig "
check "Start-menu entry removed" "$(ls "$start_menu" 2>/dev/null | grep -c '^cttax.lnk$')" "0"
rm -rf "$folder"
[ "$failed" -eq 0 ] && echo "installer: installs per user, uninstalls what it installed, keeps the settings"
exit "$failed"
