#!/usr/bin/env bash
# Builds the Windows deliverables and the release archive build/dist/Quadrivo-<version>.zip
# (Quadrivo.exe, Help.CHM, a Config.ini without an update address, 使用说明.txt and the
# publishing guide), then lists what it holds.
#
# Its Novavis.dll accepts updates signed with the development key of build/update-key. A release
# names the publisher's public key:
#   QUADRIVO_UPDATE_PUBLIC_KEY=/path/to/public.pem make dist
# builds in build/release with that key and writes the archive into build/release-dist.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/deps.sh
if [ -n "${QUADRIVO_UPDATE_PUBLIC_KEY:-}" ]; then
  key=$(realpath "$QUADRIVO_UPDATE_PUBLIC_KEY")
  build=build/release
  cmake --preset windows -B "$build" -DQUADRIVO_UPDATE_PUBLIC_KEY="$key" \
        -DQUADRIVO_DIST_DIR="$(pwd)/build/release-dist" >/dev/null
  cmake --build "$build" --target release_archive
else
  build=build/windows
  [ -f "$build/CMakeCache.txt" ] || cmake --preset windows >/dev/null
  cmake --build --preset windows --target release_archive
fi
archive=$(sed -n 's/^QUADRIVO_RELEASE_ARCHIVE:INTERNAL=//p' "$build/CMakeCache.txt")
python3 - "$archive" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    print(f"{sys.argv[1]}:")
    for info in z.infolist():
        print(f"  {info.file_size:>9}  {info.filename}")
PY
