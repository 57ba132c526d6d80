#!/usr/bin/env bash
# Writes the benchmark's 1,000,000 batch lines (STATUS,AGI,PROPERTY_TAX, the
# same every time) to FILE unless it is already there. Usage: make-lines.sh FILE
set -euo pipefail
[ -f "$1" ] && exit 0
awk 'BEGIN { srand(2010); for (i = 0; i < 1000000; i++)
       printf "%d,%.2f,%.2f\n", i % 4, rand() * 200000, rand() * 2000 }' > "$1.part"
mv "$1.part" "$1"
