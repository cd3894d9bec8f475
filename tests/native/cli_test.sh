#!/usr/bin/env bash
# The command-line solver's observable contract: output, exit codes, the scans' totals.
#   cli_test.sh COMMAND...   the solver, or a runner followed by it (the Windows build under Wine)
set -u
solve=("$@")
failures=0
err=$(mktemp)
trap 'rm -f "$err"' EXIT
check() {  # description, condition
  if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; failures=$((failures + 1)); fi
}
lines() { printf "%s\n" "$1" | wc -l; }

# --- The chain search's paths ---
out=$("${solve[@]}" 1 2 3 4); rc=$?
check "1 2 3 4 exits 0" '[ $rc -eq 0 ]'
check "1 2 3 4 prints 54 lines" '[ "$(lines "$out")" -eq 54 ]'
check "first path in UTF-8" '[ "$(printf "%s\n" "$out" | head -n1)" = "|3 ×4=12|2 ×12=24|1 ×24=24" ]'
check "last path" '[ "$(printf "%s\n" "$out" | tail -n1)" = "|2 ÷1=2|3 ×2=6|4 ×6=24" ]'

out=$("${solve[@]}" 1 1 2 7); rc=$?
check "no path: nothing printed, exit 0" '[ $rc -eq 0 ] && [ -z "$out" ]'
out=$("${solve[@]}" -1 +2 -3 2147483647); rc=$?
check "signed numbers accepted" '[ $rc -eq 0 ]'

for args in "" "1 2 3" "1 2 3 4 5" "1 2 x 4" "1.5 2 3 4" "2147483648 1 1 1" "1 2 3 4x" "--scan 1" "++1 2 3 4" \
            "--exact" "--exact 1 2 3" "--exact 1 2 3 4 5" "--exact 1 2 x 4" "--exact 10001 1 1 1" "--exact -10001 1 1 1" \
            "--check" "--check 1+2 1 2 3" "--check 1+2 1 2 3 x" "--check 1+2 1 2 3 20000" "--scan --exact 1" "--exact --scan"; do
  # shellcheck disable=SC2086
  out=$("${solve[@]}" $args 2>"$err"); rc=$?
  check "usage error for '$args'" '[ $rc -eq 2 ] && [ -z "$out" ] && [ "$(wc -l <"$err")" -eq 1 ]'
done

scan=$("${solve[@]}" --scan); rc=$?
check "scan exits 0" '[ $rc -eq 0 ]'
check "scan has 1821 lines" '[ "$(lines "$scan")" -eq 1821 ]'
check "scan totals" '[ "$(printf "%s\n" "$scan" | tail -n1)" = "1820 problems, 267 without a path, 49042 paths" ]'
check "scan lines in ascending order" '[ "$(printf "%s\n" "$scan" | head -n2 | tr "\t" :)" = "$(printf "1 1 1 1:0\n1 1 1 2:0")" ]'
check "12 12 12 12 has 384" 'printf "%s\n" "$scan" | grep -qx "$(printf "12 12 12 12\t384")"'

# --- Exact solutions ---
out=$("${solve[@]}" --exact 1 2 3 4); rc=$?
check "--exact 1 2 3 4: the four distinct solutions, plain ones first" \
  '[ $rc -eq 0 ] && [ "$out" = "$(printf "1×2×3×4\n2×3×4÷1\n(1+2+3)×4\n(1+3)×(2+4)")" ]'
while IFS='|' read -r numbers expected; do
  # shellcheck disable=SC2086
  out=$("${solve[@]}" --exact $numbers); rc=$?
  check "--exact $numbers gives $expected" '[ $rc -eq 0 ] && [ "$out" = "$expected" ]'
done <<'TABLE'
3 3 8 8|8÷(3-8÷3)
8 3 8 3|8÷(3-8÷3)
1 1 2 7|(1+2)×(1+7)
4 4 10 10|(10×10-4)÷4
3 3 7 7|(3+3÷7)×7
TABLE
for numbers in "1 1 7 8" "1 1 1 1" "13 13 13 13"; do
  # shellcheck disable=SC2086
  out=$("${solve[@]}" --exact $numbers 2>"$err"); rc=$?
  check "--exact $numbers: none, exit 1, nothing on stdout" '[ $rc -eq 1 ] && [ -z "$out" ] && [ -s "$err" ]'
done
out=$("${solve[@]}" --exact -10000 10000 24 0); rc=$?
check "--exact at the ends of the range" '[ $rc -eq 0 ] && printf "%s\n" "$out" | grep -qxF "(-10000)+0+24+10000"'

# --- Checking an answer: expression|numbers|exit code|value line|verdict line ---
while IFS='|' read -r expression numbers code value verdict; do
  # shellcheck disable=SC2086
  out=$("${solve[@]}" --check "$expression" $numbers); rc=$?
  check "--check '$expression' $numbers exits $code" '[ $rc -eq $code ]'
  check "--check '$expression': $value" 'printf "%s\n" "$out" | grep -qxF "$value"'
  check "--check '$expression': $verdict" '[ "$(printf "%s\n" "$out" | tail -n1)" = "$verdict" ]'
done <<'TABLE'
(1+2)*(1+7)|1 1 2 7|0|结果：24|判定：正确，用的正是发的四个数，结果等于 24
（１＋２）×（１＋７）|7 1 2 1|0|算式：(1+2)×(1+7)|判定：正确，用的正是发的四个数，结果等于 24
８ ÷ （３ － ８ ÷ ３）|3 3 8 8|0|算式：8÷(3-8÷3)|判定：正确，用的正是发的四个数，结果等于 24
8 / (3 - 8 / 3)|3 3 8 8|0|结果：24|判定：正确，用的正是发的四个数，结果等于 24
4x3X2x1|1 2 3 4|0|算式：4×3×2×1|判定：正确，用的正是发的四个数，结果等于 24
8*(7/(1+1))|1 1 7 8|1|结果：28|判定：不对，结果不是 24
８＊（７／（１＋１））|1 1 7 8|1|结果：28|判定：不对，结果不是 24
3-8*8/3|3 3 8 8|1|结果：-55/3|判定：不对，结果不是 24
1+2+3|1 2 3 4|1|结果：6|判定：不对，用的数是 1 2 3，发的牌是 1 2 3 4
-1+5*5|1 5 5 5|1|结果：24|判定：不对，用的数是 -1 5 5，发的牌是 1 5 5 5
8/(3-3)*8|3 3 8 8|1|结果：无法计算，除数是 0|判定：不对，除数 3-3 等于 0
８／（３－３）＊８|3 3 8 8|1|结果：无法计算，除数是 0|判定：不对，除数 3-3 等于 0
12*2|1 2 3 4|2|算式有误：“12”是把几张牌拼成的数，每张牌要单独用|算式有误：“12”是把几张牌拼成的数，每张牌要单独用
１２×２|1 2 3 4|2|算式有误：“12”是把几张牌拼成的数，每张牌要单独用|算式有误：“12”是把几张牌拼成的数，每张牌要单独用
1 2*3*4|1 2 3 4|2|算式有误：“2”前面缺少运算符|算式有误：“2”前面缺少运算符
2^3*3|2 3 3 1|2|算式有误：“^”是乘方，只能用加、减、乘、除|算式有误：“^”是乘方，只能用加、减、乘、除
（1+2）×8=24|1 2 8 1|2|算式有误：不认识的符号“=”，只能用数字、+ - × ÷ 和括号|算式有误：不认识的符号“=”，只能用数字、+ - × ÷ 和括号
(1+2|1 2 3 4|2|算式有误：括号不配对|算式有误：括号不配对
TABLE
out=$("${solve[@]}" --check "" 1 2 3 4); rc=$?
check "--check of nothing is malformed" '[ $rc -eq 2 ] && [ "$out" = "算式有误：没有输入算式" ]'

# --- The exact scan ---
scan=$("${solve[@]}" --scan --exact); rc=$?
check "exact scan exits 0" '[ $rc -eq 0 ]'
check "exact scan has 1821 lines" '[ "$(lines "$scan")" -eq 1821 ]'
check "exact scan totals" '[ "$(printf "%s\n" "$scan" | tail -n1)" = "1820 problems, 1362 with an exact solution, 267 without a chain path, 273 whose chain paths all truncate, 82 with an exact solution but no exact chain path" ]'
for row in "1 1 2 7:0:0:1" "1 1 7 8:2:0:0" "1 2 3 4:54:54:4" "3 3 8 8:44:0:1" "4 4 10 10:12:4:1" "12 12 12 12:384:384:3"; do
  check "exact scan line $row" 'printf "%s\n" "$scan" | tr "\t" : | grep -qx "$row"'
done

echo "cli: $failures failed"
[ $failures -eq 0 ]
