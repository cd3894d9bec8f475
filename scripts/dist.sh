#!/usr/bin/env bash
# Builds the Windows deliverables and the release archive build/dist/Quadrivo-<version>.zip
# (Quadrivo.exe, Help.CHM, a Config.ini without an update address, 使用说明.txt and the
# publishing guide), then lists what it holds.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/deps.sh
[ -f build/windows/CMakeCache.txt ] || cmake --preset windows >/dev/null
cmake --build --preset windows --target release_archive
archive=$(sed -n 's/^QUADRIVO_RELEASE_ARCHIVE:INTERNAL=//p' build/windows/CMakeCache.txt)
python3 - "$archive" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    print(f"{sys.argv[1]}:")
    for info in z.infolist():
        print(f"  {info.file_size:>9}  {info.filename}")
PY
