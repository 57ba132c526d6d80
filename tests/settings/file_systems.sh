#!/usr/bin/env bash
# Saves on the file systems of USB sticks, each a loop image mounted through
# fuse: FAT (fusefat: no hard links, no unnamed files), exFAT (exfat-fuse)
# and NTFS (ntfs-3g: hard links but no unnamed files). On each: a first save
# creates the file, a second replaces it, and saves killed at random moments
# leave a whole file and temporaries the next save removes. Needs root and
# /dev/fuse; skipped (exit 77) without them.
# Usage: file_systems.sh PROBE WORK_FOLDER
set -uo pipefail
probe=$1
work=$2/file-systems
[ "$(id -u)" -eq 0 ] && [ -c /dev/fuse ] || { echo "SKIP: needs root and /dev/fuse to mount images"; exit 77; }
for tool in mkfs.vfat fusefat mkfs.exfat mount.exfat-fuse mkfs.ntfs ntfs-3g losetup; do
  command -v $tool >/dev/null || { echo "SKIP: $tool missing"; exit 77; }
done

passed=0 failed=0 skipped=0
expect_eq() { if [ "$2" = "$3" ]; then passed=$((passed + 1)); else echo "FAIL: $1: got '$2', expected '$3'"; failed=$((failed + 1)); fi; }
content() { printf '%s\r\n2\r\n 3.00000000000000E+0000\r\n 4.00000000000000E+0000\r\n1\r\n' "$1"; }

rm -rf "$work"; mkdir -p "$work"
loop=
cleanup() {
  for m in "$work"/mnt-*; do mountpoint -q "$m" && umount "$m"; done
  mountpoint -q "$work/app/cttax.fig" 2>/dev/null && umount "$work/app/cttax.fig"
  [ -n "$loop" ] && losetup -d "$loop" 2>/dev/null
  true
}
trap cleanup EXIT

mount_image() { # kind mountpoint
  local image=$work/$1.img
  truncate -s 32M "$image"
  case $1 in
    fat) mkfs.vfat "$image" >/dev/null && fusefat -o rw+ "$image" "$2" >/dev/null ;;
    exfat) mkfs.exfat "$image" >/dev/null && loop=$(losetup -f --show "$image") && mount.exfat-fuse "$loop" "$2" >/dev/null 2>&1 ;;
    ntfs) mkfs.ntfs -F -q "$image" >/dev/null 2>&1 && ntfs-3g "$image" "$2" ;;
  esac
}

for kind in fat exfat ntfs; do
  mnt=$work/mnt-$kind; mkdir -p "$mnt"
  if ! mount_image $kind "$mnt"; then
    echo "SKIP: $kind: cannot mount here"; skipped=$((skipped + 1)); continue
  fi
  fig=$mnt/cttax.fig
  expect_eq "$kind: first save" "$("$probe" save "$fig" 1)" saved
  expect_eq "$kind: created" "$(cat "$fig")" "$(content 1)"
  expect_eq "$kind: second save" "$("$probe" save "$fig" 2)" saved
  expect_eq "$kind: replaced" "$(cat "$fig")" "$(content 2)"
  for _ in 1 2 3 4 5 6 7 8; do
    "$probe" save-loop "$fig" & saver=$!
    sleep 0.0$((RANDOM % 9 + 1))
    kill -9 $saver; wait $saver 2>/dev/null
    now=$(cat "$fig")
    [ "$now" = "$(content 0)" ] || [ "$now" = "$(content 1)" ] || [ "$now" = "$(content 2)" ] ||
      expect_eq "$kind: whole file after a kill" "$now" "one of the saved versions"
  done
  expect_eq "$kind: save after the kills" "$("$probe" save "$fig" 3)" saved
  expect_eq "$kind: nothing left beside it" "$(ls "$mnt" | tr '\n' ' ')" "cttax.fig "
  expect_eq "$kind: loads" "$("$probe" load "$fig")" 3
  umount "$mnt"
  [ $kind = exfat ] && { losetup -d "$loop"; loop=; }
done

# A settings file mounted on its own (a container's volume): rename over it
# is refused (EBUSY); the file itself is written in place.
mkdir -p "$work/volume" "$work/app"
printf '9\r\n9\r\n' > "$work/volume/cttax.fig"
: > "$work/app/cttax.fig"
if mount --bind "$work/volume/cttax.fig" "$work/app/cttax.fig"; then
  expect_eq "bind-mounted file: save" "$("$probe" save "$work/app/cttax.fig" 4)" saved
  expect_eq "bind-mounted file: written through" "$(cat "$work/volume/cttax.fig")" "$(content 4)"
  umount "$work/app/cttax.fig"
else
  echo "SKIP: cannot bind-mount a file here"
fi

echo "file systems: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ] && { [ "$skipped" -lt 3 ] || exit 77; }
