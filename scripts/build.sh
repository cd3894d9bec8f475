#!/usr/bin/env bash
# Configures (once) and builds both presets.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
for preset in native windows; do
  [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
