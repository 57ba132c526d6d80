#!/usr/bin/env bash
# Runs the whole test suite (scripts/test.sh) on Debian 13 (trixie): a
# minimal root made with debootstrap in build-trixie/root (kept between
# runs), this checkout's committed tree copied into it, the host's /proc,
# /sys and /dev bound in (for the virtual displays, the fuse file systems
# and the users the permission cases make). Needs root.
# Usage: scripts/test-debian13.sh
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "needs root (debootstrap, chroot, mounts)" >&2; exit 1; }
scripts/install-deps.sh debootstrap
root=$PWD/build-trixie/root
if [ ! -x "$root/bin/bash" ]; then
  mkdir -p "$root"
  debootstrap --variant=minbase trixie "$root" http://deb.debian.org/debian
fi
mounted=()
cleanup() { for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done; }
trap cleanup EXIT
for d in proc sys dev dev/pts; do
  mountpoint -q "$root/$d" || { mount --bind "/$d" "$root/$d"; mounted+=("$root/$d"); }
done
cp /etc/resolv.conf "$root/etc/"
rm -rf "$root/src" && mkdir -p "$root/src"
git archive HEAD | tar -x -C "$root/src"
chroot "$root" /bin/bash -c 'cd /src && apt-get update -qq && scripts/test.sh'
