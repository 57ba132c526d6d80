#!/usr/bin/env bash
# The Debian package as a new user gets it: its files unpacked into a
# throw-away root (the file list, the menu entry's command and icon, the
# batch calculator run from there); then, when run as root with CI=true or
# CTTAX_TEST_INSTALL=1, a real install, the window started the way the menu
# starts it, as a normal user, its settings kept in the user's configuration
# folder with no error at close, and the package removed again.
# Usage: package_test.sh build-package/cttax_<version>_<arch>.deb
set -uo pipefail
deb=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
# shellcheck source=../e2e/lib.sh
. "$here/../e2e/lib.sh"
work=$(mktemp -d)
chmod 755 "$work"
trap 'stop_wm 2>/dev/null; kill "${xvfb_pid:-}" 2>/dev/null; rm -rf "$work"' EXIT

root=$work/root
dpkg-deb -x "$deb" "$root"
expected="usr/bin/cttax
usr/bin/cttax-calc
usr/share/applications/org.example.cttax.desktop
usr/share/doc/cttax/changelog.gz
usr/share/doc/cttax/copyright
usr/share/icons/hicolor/128x128/apps/org.example.cttax.png
usr/share/icons/hicolor/256x256/apps/org.example.cttax.png
usr/share/icons/hicolor/48x48/apps/org.example.cttax.png
usr/share/icons/hicolor/64x64/apps/org.example.cttax.png
usr/share/icons/hicolor/scalable/apps/org.example.cttax.svg
usr/share/man/man1/cttax-calc.1.gz
usr/share/man/man1/cttax.1.gz
usr/share/metainfo/org.example.cttax.metainfo.xml
usr/share/pixmaps/cttax.xpm"
expect_eq "file list" "$(cd "$root" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)" "$expected"

desktop=$root/usr/share/applications/org.example.cttax.desktop
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
icon=$(sed -n 's/^Icon=//p' "$desktop")
expect_eq "menu entry runs the installed window" "$exec_line" "/usr/bin/cttax"
[ -x "$root$exec_line" ] && pass || fail "the menu entry's command $exec_line is not in the package"
expect_eq "menu entry's icon" "$(ls "$root"/usr/share/icons/hicolor/*/apps/ | grep -c "^$icon\.")" "5"
for size in 48 64 128 256; do
  got=$(identify -format '%wx%h' "$root/usr/share/icons/hicolor/${size}x$size/apps/$icon.png" 2>/dev/null)
  expect_eq "icon size $size" "$got" "${size}x$size"
done
expect_eq "batch calculator from the package" \
  "$(printf 'married,60000,1200\n' | "$root/usr/bin/cttax-calc")" "12000,2000,0.1,200,500,1300,"
zcat "$root/usr/share/man/man1/cttax-calc.1.gz" | grep -q 'cttax\\-calc' && pass || fail "cttax-calc(1) unreadable"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' && pass || fail "Depends lacks the Qt libraries"

if [ "$(id -u)" -eq 0 ] && { [ "${CI:-}" = true ] || [ "${CTTAX_TEST_INSTALL:-}" = 1 ]; }; then
  had=$(dpkg-query -W -f='${Status}' cttax 2>/dev/null | grep -c 'install ok installed')
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null 2>&1 || fail "apt install of the package"
  expect_eq "installed" "$(dpkg-query -W -f='${Status}' cttax)" "install ok installed"
  start_display
  start_wm openbox
  mkdir "$work/home" && chown nobody "$work/home"
  # shellcheck disable=SC2086
  start_app setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$work/home" XDG_RUNTIME_DIR= $exec_line
  click_client 275 196            # "Household"
  leave_by_file_exit
  expect_eq "installed: settings in the user's folder" "$(line_of "$work/home/.config/cttax/cttax.fig" 5)" "3"
  expect_eq "installed: nothing written beside /usr/bin/cttax" "$(ls /usr/bin/cttax.fig 2>/dev/null)" ""
  [ "$had" = 1 ] || apt-get remove -y -qq cttax >/dev/null 2>&1
else
  echo "skipped the real install (run as root with CTTAX_TEST_INSTALL=1)"
fi
echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
