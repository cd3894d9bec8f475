#!/usr/bin/env bash
# The weight of the deliverables: the sizes of Quadrivo.exe, Novavis.dll and Scribbet.dll of the
# 32-bit release build (the files hosts get), then Quadrivo.exe run under Wine N times (default 5),
# each in a fresh run directory: process start to main window shown, and its working set then
# (measured from outside by the trainer driver). The run uses the Windows build that runs here:
# the 32-bit one, or the 64-bit one of the same sources where the kernel runs no 32-bit code.
#   bench/sizes.sh [RUNS]
# To weigh other binaries (an older build kept aside) with the same driver:
#   SIZES_DIR=folder-with-the-three-32-bit-files TIMED_EXE=runnable/Quadrivo.exe bench/sizes.sh
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/wine-env.sh
runs=${1:-5}

if [ -z "${SIZES_DIR:-}" ]; then
  [ -f build/windows/CMakeCache.txt ] || cmake --preset windows >/dev/null
  cmake --build --preset windows --target Quadrivo >/dev/null
  SIZES_DIR=build/windows/bin
fi
for file in Quadrivo.exe Novavis.dll Scribbet.dll; do
  bytes=$(stat -c %s "$SIZES_DIR/$file")
  awk -v f="$file" -v b="$bytes" 'BEGIN { printf "%-13s %9d bytes  %7.1f KiB  (32-bit)\n", f, b, b / 1024 }'
done

windows=build/$QUADRIVO_WINDOWS_PRESET
quadrivo_prepare_windows Quadrivo trainer_driver
TIMED_EXE=${TIMED_EXE:-$windows/bin/Quadrivo.exe}
export QUADRIVO_XVFB=1
source scripts/headless.sh
trap quadrivo_stop_headless EXIT
quadrivo_start_headless
run=$windows/run-sizes
echo "under Wine ($QUADRIVO_WINE_ARCH build, $(stat -c %s "$TIMED_EXE") bytes), $runs runs:"
for _ in $(seq "$runs"); do
  rm -rf "$run" && mkdir -p "$run" && cp "$TIMED_EXE" "$run/Quadrivo.exe"
  answer=$(mktemp)  # a file, not a pipe: the trainer inherits the driver's output
  wine "$windows/bin/trainer_driver.exe" measure "$(winepath -w "$run/Quadrivo.exe")" >"$answer"
  tr -d '\r' <"$answer" | grep -E '^(start to window|working set)' | paste -sd ';'
  rm -f "$answer"
done
rm -rf "$run"
