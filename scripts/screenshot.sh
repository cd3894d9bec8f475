#!/usr/bin/env bash
# Writes build/screenshot.png: the trainer's main window after a deal and its listing, taken on a
# private Xvfb inside the project's Wine prefix.
# Usage: scripts/screenshot.sh [output.png] [round|plain] [WIDTHxHEIGHT]
# ("plain": right after the start, without the round; a size resizes the window first).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
out=${1:-build/screenshot.png}
mode=${2:-round}
size=${3:-}
bash scripts/deps.sh
# The Windows build that runs here: the 32-bit one, or the 64-bit one where no 32-bit code runs.
source scripts/wine-env.sh
windows=build/$QUADRIVO_WINDOWS_PRESET
quadrivo_prepare_windows Quadrivo trainer_driver

run=$windows/run-screenshot
rm -rf "$run"
mkdir -p "$run"
cp $windows/bin/Quadrivo.exe "$run/"

# Always a private X server: a screenshot of the user's own screen would show whatever else is on it.
export QUADRIVO_XVFB=1
source scripts/headless.sh
trap quadrivo_stop_headless EXIT
quadrivo_start_headless

driver=$windows/bin/trainer_driver.exe
round=round
[ "$mode" = plain ] && round=
# The driver's answer goes through a file: the trainer it starts inherits its output, so a pipe
# would stay open for as long as the trainer runs.
answer=$(mktemp)
wine "$driver" start "$(winepath -w "$run/Quadrivo.exe")" $round $size >"$answer"
read -r _ left top width height < <(tr -d '\r' <"$answer" | grep '^window')
rm -f "$answer"
sleep 2  # let the last paint reach the X server
import -window root -crop "${width}x${height}+${left}+${top}" +repage "$out"
wine "$driver" close >/dev/null
echo "screenshot: $out (${width}x${height})"
