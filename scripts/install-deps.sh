#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, when missing.
# Usage: scripts/install-deps.sh [extra-package ...]
set -euo pipefail
packages=(
  cmake g++ make libgtest-dev qt6-base-dev libgl-dev libxkbcommon-dev python3
  # the icons are drawn from their SVG at build time
  librsvg2-bin
  # the faces the window and its menus are drawn in
  fonts-liberation2 fonts-dejavu-core
  # the end-to-end sessions: X display, two window managers, Wayland, screenshots
  xvfb xauth xdotool x11-utils wmctrl openbox icewm i3-wm weston qt6-wayland imagemagick
  # the screen reader session: AT-SPI on a session bus, its Python bindings, Orca
  dbus at-spi2-core python3-gi gir1.2-atspi-2.0 orca
  # the settings cases among users and on the file systems of USB sticks
  acl attr dosfstools fusefat exfatprogs exfat-fuse ntfs-3g
  "$@"
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
((${#missing[@]})) || exit 0
command=(apt-get install -y --no-install-recommends "${missing[@]}")
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "cttax needs Debian packages that are missing; as root run: apt-get update && ${command[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
# A mirror caught mid-sync fails one index or another; the install then
# takes what the others offer and says itself what it cannot find.
"${sudo[@]}" apt-get update -qq ||
  echo "apt-get update reported errors (a mirror in sync?); installing from the indexes it has" >&2
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" "${command[@]}" -qq >/dev/null
