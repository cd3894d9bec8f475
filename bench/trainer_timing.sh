#!/usr/bin/env bash
# Times the real Quadrivo.exe under Wine, measured from outside by the trainer driver: process
# start to main window shown, and the listing of 12 12 12 12 (384 paths). Runs N times (default 5)
# in a fresh run directory each, on a private Xvfb with the project's Wine prefix.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
# The Windows build that runs here: the 32-bit one, or the 64-bit one where no 32-bit code runs.
source scripts/wine-env.sh
windows=build/$QUADRIVO_WINDOWS_PRESET
runs=${1:-5}
quadrivo_prepare_windows Quadrivo trainer_driver
export QUADRIVO_XVFB=1
source scripts/headless.sh
trap quadrivo_stop_headless EXIT
quadrivo_start_headless
run=$windows/run-timing
echo "Quadrivo.exe: $(stat -c %s $windows/bin/Quadrivo.exe) bytes"
for _ in $(seq "$runs"); do
  rm -rf "$run" && mkdir -p "$run" && cp $windows/bin/Quadrivo.exe "$run/"
  answer=$(mktemp)  # a file, not a pipe: the trainer inherits the driver's output
  wine $windows/bin/trainer_driver.exe measure "$(winepath -w "$run/Quadrivo.exe")" >"$answer"
  tr -d '\r' <"$answer" | sed 's/, caption.*//' | paste -sd ';'
  rm -f "$answer"
done
