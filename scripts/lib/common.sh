# SPDX-License-Identifier: MIT
# Shared by the entry-point scripts in scripts/ (sourced, never run).

# The median of the numbers on standard input, one per line.
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# A Wine prefix of the script's own, quiet, and the 64-bit loader.
#   use_wine PREFIX-FOLDER   sets WINEPREFIX, WINEDEBUG and wine
use_wine() {
  export WINEPREFIX=$1 WINEDEBUG=-all
  wine=/usr/lib/wine/wine64
}
