#!/usr/bin/env bash
# Builds both presets and runs every test: native, then the Windows tests under Wine.
# Ends with one line "N passed, M failed" and a non-zero exit code on any failure.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/deps.sh || exit 1
bash scripts/build.sh || { echo "0 passed, 1 failed"; exit 1; }
source scripts/wine-env.sh
windows=$QUADRIVO_WINDOWS_BUILD
[ "$QUADRIVO_WINE_ARCH" = win32 ] || echo "test: this kernel runs no 32-bit code; the Windows tests run on the 64-bit build"

rm -rf build/native/test-results "$windows/test-results"
mkdir -p build/native/test-results "$windows/test-results"

ctest --test-dir build/native --output-on-failure --output-junit test-results/ctest.xml
native_rc=$?

bash scripts/wine-prefix.sh || exit 1
source scripts/headless.sh
trap quadrivo_stop_headless EXIT
quadrivo_start_headless
ctest --test-dir "$windows" --output-on-failure --output-junit test-results/ctest.xml
windows_rc=$?
quadrivo_stop_headless
trap - EXIT

python3 scripts/test_summary.py build/native/test-results "$windows/test-results"
summary_rc=$?
[ $native_rc -eq 0 ] && [ $windows_rc -eq 0 ] && [ $summary_rc -eq 0 ]
