#!/usr/bin/env bash
# Builds the page and writes build-web/cttax-VERSION-web.zip: the static
# files to put on any web server, index.html at the zip's root. Nothing runs
# on the server; every figure is computed in the visitor's browser.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh
scripts/install-deps.sh emscripten nodejs zip
build_web
version=$(project_version)
zip=build-web/cttax-$version-web.zip
rm -f "$zip"
(cd build-web/ui/web/site && zip -q -X -r "../../../$(basename "$zip")" .)
echo "$zip: $(stat -c %s "$zip") bytes"
