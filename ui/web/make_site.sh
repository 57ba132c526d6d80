#!/usr/bin/env bash
# The page's static files beside the program in SITE: the shell copied, the
# icons drawn from the project's picture, the service worker listing every
# file, with their digest as its version.
# Usage: make_site.sh SHELL-FOLDER SITE-FOLDER ICON.svg
set -euo pipefail
shell=$1 site=$2 svg=$3
mkdir -p "$site"
cp "$shell/index.html" "$shell/cttax.css" "$shell/shell.js" "$shell/manifest.webmanifest" "$site/"
for size in 192 512; do
  [ "$site/icon-$size.png" -nt "$svg" ] || rsvg-convert -w $size -h $size "$svg" -o "$site/icon-$size.png"
done
cd "$site"
files=(index.html cttax.css shell.js cttax.js cttax.wasm manifest.webmanifest icon-192.png icon-512.png)
version=$(cat "${files[@]}" | sha256sum | cut -c1-16)
list="'./'"
for f in "${files[@]}"; do list="$list, '$f'"; done
sed -e "s/@VERSION@/$version/" -e "s|@FILES@|$list|" "$shell/sw.js.in" >sw.js
