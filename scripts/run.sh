#!/usr/bin/env bash
# Builds, then starts the trainer under Wine in build/windows/run/, a run directory that holds
# Quadrivo.exe only, so that its start writes Scribbet.dll and log.txt there as on a fresh
# install. With a display the window opens there and the command returns when it is closed;
# without one the trainer starts on a private Xvfb and build/run-screenshot.png is written instead.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/deps.sh
bash scripts/build.sh
echo "Deliverables in $(pwd)/build/windows/bin:"
ls -l build/windows/bin/*.dll build/windows/bin/*.exe 2>/dev/null | grep -v -E '_tests?\.exe|test_|_host\.exe|_payload\.exe|_driver\.exe' || true

bash scripts/wine-prefix.sh
run=build/windows/run
rm -rf "$run"
mkdir -p "$run"
cp build/windows/bin/Quadrivo.exe "$run/"

if [ -n "${DISPLAY:-}" ]; then
  source scripts/headless.sh
  trap quadrivo_stop_headless EXIT
  quadrivo_start_headless
  echo "Quadrivo is running in $run; close its window to end."
  (cd "$run" && wine Quadrivo.exe) || true
else
  echo "No DISPLAY: starting the trainer on a private Xvfb and taking a screenshot instead."
  source scripts/headless.sh
  trap quadrivo_stop_headless EXIT
  quadrivo_start_headless
  driver=build/windows/bin/trainer_driver.exe
  # Through a file: the trainer inherits the driver's output and would hold a pipe open.
  answer=$(mktemp)
  wine "$driver" start "$(winepath -w "$run/Quadrivo.exe")" >"$answer"
  read -r _ left top width height < <(tr -d '\r' <"$answer" | grep '^window')
  rm -f "$answer"
  sleep 2
  import -window root -crop "${width}x${height}+${left}+${top}" +repage build/run-screenshot.png
  wine "$driver" close >/dev/null
  echo "Screenshot: build/run-screenshot.png"
fi
echo "Run directory $run now holds:"
ls -l "$run"
