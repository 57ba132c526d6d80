#!/usr/bin/env bash
# Runs page_test.py with Debian's Python and Selenium; 77 (skipped) where
# Chromium or its driver is not installed.
set -u
for need in /usr/bin/chromium /usr/bin/chromedriver; do
  [ -x "$need" ] || { echo "skipped: $need not installed"; exit 77; }
done
/usr/bin/python3 -c 'import selenium' 2>/dev/null || { echo "skipped: python3-selenium not installed"; exit 77; }
exec /usr/bin/python3 "$(dirname "$0")/page_test.py" "$@"
