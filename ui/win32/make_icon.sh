#!/usr/bin/env bash
# make_icon.sh SVG ICO: the application's icon for Windows from its picture:
# 16 x 16 in 16 colours, and 32, 48 and 256 in full colour.
set -euo pipefail
svg=$1 ico=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -background none -density 384 "$svg" -resize 16x16 -colors 16 "PNG8:$work/16.png"
for size in 32 48 256; do
  convert -background none -density 384 "$svg" -resize "${size}x${size}" "PNG32:$work/$size.png"
done
convert "$work/16.png" "$work/32.png" "$work/48.png" "$work/256.png" "$ico"
