#!/usr/bin/env bash
# Times the check of a 1.5 MB download (SHA-256 in chunks, then the ECDSA signature, with CNG)
# under Wine, in the Windows build that runs here (scripts/wine-env.sh).
#   bench/signature_timing.sh [BYTES] [RUNS]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/wine-env.sh
windows=build/$QUADRIVO_WINDOWS_PRESET
quadrivo_prepare_windows signature_timing
WINEDEBUG=-all wine "$windows/bin/signature_timing.exe" "$@"
