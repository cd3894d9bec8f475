#!/usr/bin/env bash
# Runs a Windows console program under Wine for a script that expects Unix text: the program's
# output, redirected, must end every line with CR LF (as Windows text files do); the lines are passed
# on with LF. A bare LF fails the run with exit code 99. The program's own exit code is kept.
#   windows_text_runner.sh PROGRAM.exe [ARGUMENTS...]
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
# Wine turns the Unix arguments into the wide command line with the locale's character set.
LC_ALL=C.UTF-8 "$here/scripts/wine-exec.sh" "$@" >"$out" 2>"$err"
rc=$?
for stream in "$out" "$err"; do
  if [ "$(tr -cd '\n' <"$stream" | wc -c)" -ne "$(grep -c $'\r$' "$stream")" ]; then
    echo "windows_text_runner: a line of $* without CR LF" >&2
    exit 99
  fi
done
tr -d '\r' <"$out"
tr -d '\r' <"$err" >&2
exit $rc
