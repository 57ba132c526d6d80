#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, when missing.
# Usage: scripts/install-deps.sh [extra-package ...]
set -euo pipefail
packages=(cmake g++ make libgtest-dev qt6-base-dev libgl-dev fonts-liberation2 xvfb xauth xdotool "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
