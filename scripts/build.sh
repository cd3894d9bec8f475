#!/usr/bin/env bash
# Configures (once) and builds both presets, and the 64-bit Windows build where the Windows tests
# run on it (scripts/wine-env.sh).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/wine-env.sh
presets=(native windows)
[ "$QUADRIVO_WINDOWS_PRESET" = windows ] || presets+=("$QUADRIVO_WINDOWS_PRESET")
for preset in "${presets[@]}"; do
  [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
