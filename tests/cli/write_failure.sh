#!/usr/bin/env bash
# Output that cannot be written is never a success: every form of cttax-calc
# into a full device reports it on standard error and exits non-zero.
# Usage: write_failure.sh [emulator ...] path/to/cttax-calc
set -uo pipefail
calc=("$@")
quoted=$(printf '%q ' "${calc[@]}")
passed=0 failed=0
check() { # name expected-status command...
  local name=$1 want=$2; shift 2
  local err status
  err=$("$@" 2>&1 >/dev/full </dev/null)
  status=$?
  if [ "$want" = nonzero ] && [ "$status" -ne 0 ] && [[ $err == *"cannot write standard output"* ]]; then
    passed=$((passed + 1))
  else
    echo "FAIL: $name: status $status, stderr '$err'"; failed=$((failed + 1))
  fi
}
check "single form" nonzero "${calc[@]}" single 16300 0
check "help" nonzero "${calc[@]}" --help
check "batch" nonzero bash -c "printf 'single,16300,0\n' | $quoted --header"
check "batch, header only" nonzero "${calc[@]}" --header
# The same commands into a pipe succeed.
for args in "single 16300 0" "--help"; do
  # shellcheck disable=SC2086
  if "${calc[@]}" $args | cat >/dev/null; then passed=$((passed + 1)); else echo "FAIL: $args into a pipe"; failed=$((failed + 1)); fi
done
echo "cttax-calc write failures: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
