#!/usr/bin/env bash
# The arithmetic stays in one place: outside the files that define the
# extended type, no code names long double, writes a long double literal
# (another machine's long double would round it otherwise) or asks which
# type Extended is. Usage: extended_only.sh SOURCE_DIR
set -uo pipefail
cd "$1"
defining='^engine/(extended\.h|soft_extended\.(h|cpp)):'
found=$(grep -rnE --include='*.h' --include='*.cpp' --include='*.c' --include='*.cc' \
          -e '\blong double\b' -e '[0-9.]L\b' -e 'CTTAX_SOFT_EXTENDED' \
          engine text settings form cli ui fuzz | grep -vE "$defining")
if [ -n "$found" ]; then
  echo "Extended is named through engine/extended.h only; found:"
  echo "$found"
  exit 1
fi
echo "no long double outside engine/extended.h and engine/soft_extended.*"
