#!/usr/bin/env bash
# Builds the page (build-web/ui/web/site) and serves it on this machine only:
# open the address it prints in a browser. Usage: scripts/run-web.sh [PORT]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/common.sh
scripts/install-deps.sh emscripten nodejs
build_web
port=${1:-8000}
echo "cttax is at http://127.0.0.1:$port/ (Ctrl+C stops the server)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/ui/web/site
