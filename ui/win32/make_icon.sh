#!/usr/bin/env bash
# make_icon.sh SVG ICO: the application's icon for Windows from its picture:
# 16 x 16 in 16 colours, and 32, 48 and 256 in full colour.
set -euo pipefail
svg=$1 ico=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for size in 16 32 48 256; do
  rsvg-convert -w "$size" -h "$size" -o "$work/$size.png" "$svg"
done
convert "$work/16.png" -colors 16 "PNG8:$work/16-colours.png"
convert "$work/16-colours.png" "$work/32.png" "$work/48.png" "$work/256.png" "$ico"
