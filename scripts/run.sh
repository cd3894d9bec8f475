#!/usr/bin/env bash
# Builds, then shows where the deliverables are.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/deps.sh
bash scripts/build.sh
echo "Deliverables in $(pwd)/build/windows/bin:"
ls -l build/windows/bin/*.dll build/windows/bin/*.exe 2>/dev/null | grep -v -E '_tests?\.exe|test_' || true
