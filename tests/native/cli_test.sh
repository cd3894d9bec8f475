#!/usr/bin/env bash
# The command-line solver's observable contract: output, exit codes, the scan's totals.
set -u
solve=$1
failures=0
check() {  # description, condition
  if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; failures=$((failures + 1)); fi
}

out=$("$solve" 1 2 3 4); rc=$?
check "1 2 3 4 exits 0" '[ $rc -eq 0 ]'
check "1 2 3 4 prints 54 lines" '[ "$(printf "%s\n" "$out" | wc -l)" -eq 54 ]'
check "first path in UTF-8" '[ "$(printf "%s\n" "$out" | head -n1)" = "|3 ×4=12|2 ×12=24|1 ×24=24" ]'
check "last path" '[ "$(printf "%s\n" "$out" | tail -n1)" = "|2 ÷1=2|3 ×2=6|4 ×6=24" ]'

out=$("$solve" 1 1 2 7); rc=$?
check "no path: nothing printed, exit 0" '[ $rc -eq 0 ] && [ -z "$out" ]'
out=$("$solve" -1 +2 -3 2147483647); rc=$?
check "signed numbers accepted" '[ $rc -eq 0 ]'

for args in "" "1 2 3" "1 2 3 4 5" "1 2 x 4" "1.5 2 3 4" "2147483648 1 1 1" "1 2 3 4x" "--scan 1" "++1 2 3 4"; do
  # shellcheck disable=SC2086
  out=$("$solve" $args 2>/tmp/cli_err.$$); rc=$?
  check "usage error for '$args'" '[ $rc -eq 2 ] && [ -z "$out" ] && [ "$(wc -l </tmp/cli_err.$$)" -eq 1 ]'
done
rm -f /tmp/cli_err.$$

scan=$("$solve" --scan); rc=$?
check "scan exits 0" '[ $rc -eq 0 ]'
check "scan has 1821 lines" '[ "$(printf "%s\n" "$scan" | wc -l)" -eq 1821 ]'
check "scan totals" '[ "$(printf "%s\n" "$scan" | tail -n1)" = "1820 problems, 267 without a path, 49042 paths" ]'
check "scan lines in ascending order" '[ "$(printf "%s\n" "$scan" | head -n2 | tr "\t" :)" = "$(printf "1 1 1 1:0\n1 1 1 2:0")" ]'
check "12 12 12 12 has 384" 'printf "%s\n" "$scan" | grep -qx "$(printf "12 12 12 12\t384")"'

echo "cli: $failures failed"
[ $failures -eq 0 ]
