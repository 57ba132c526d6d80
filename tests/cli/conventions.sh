#!/usr/bin/env bash
# The command-line conventions of cttax-calc: --version, "--", "-", and
# standard input and output left non-blocking by the caller.
# Usage: conventions.sh [emulator ...] path/to/cttax-calc
set -uo pipefail
calc=("$@")
passed=0 failed=0
expect_eq() { if [ "$2" = "$3" ]; then passed=$((passed + 1)); else echo "FAIL: $1: got '$2', expected '$3'"; failed=$((failed + 1)); fi; }

expect_eq "--version" "$("${calc[@]}" --version)" "cttax-calc 1.0"
expect_eq "-- before the amounts" "$("${calc[@]}" -- single 16300 0 | tail -n 1 | tr -s ' ')" \
  "Connecticut State Income Tax .....................$ 25"
expect_eq "- for standard input" "$(printf 'single,16300,0\n' | "${calc[@]}" --header -)" \
  "$(printf 'EXEMPTION,TABLE_B_TAX,CREDIT_DECIMAL,PERSONAL_CREDIT,PROPERTY_CREDIT,INCOME_TAX,NOTE\n13000,99,0.75,74,0,25,')"

# One argument that is not an option is a file, read as standard input is.
cases=$(mktemp); trap 'rm -f "$cases"' EXIT
printf 'single,16300,0\nmarried,60000,1200\n' >"$cases"
expect_eq "a file named" "$("${calc[@]}" --header "$cases")" "$("${calc[@]}" --header <"$cases")"
expect_eq "a missing file: exit 2, said why" "$("${calc[@]}" "$cases.gone" 2>&1; echo "exit $?")" \
  "cttax-calc: cannot open '$cases.gone': No such file or directory
exit 2"

# Both ends non-blocking, input arriving slowly, output read late: every
# line is answered and the run succeeds.
result=$(python3 - "${calc[@]}" <<'PY'
import fcntl, os, subprocess, sys, time
def nonblocking(fd):
    fcntl.fcntl(fd, fcntl.F_SETFL, fcntl.fcntl(fd, fcntl.F_GETFL) | os.O_NONBLOCK)
in_r, in_w = os.pipe(); out_r, out_w = os.pipe()
nonblocking(in_r); nonblocking(out_w)
p = subprocess.Popen(sys.argv[1:], stdin=in_r, stdout=out_w)
os.close(in_r); os.close(out_w)
time.sleep(0.3)
os.write(in_w, b"single,16300,0\n" * 5000)
time.sleep(0.3)
os.close(in_w)
out = b""
while chunk := os.read(out_r, 65536):
    out += chunk
print(p.wait(), out.count(b"13000,99,0.75,74,0,25,\n"))
PY
)
expect_eq "non-blocking standard input and output" "$result" "0 5000"
echo "cttax-calc conventions: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
