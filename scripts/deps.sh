#!/usr/bin/env bash
# Installs what the build and the tests need, and only what is missing.
# Idempotent: a machine that has everything returns in well under a second.
set -euo pipefail

# command-or-file -> Debian package
native_pkgs=(
  "g++:g++"
  "cmake:cmake"
  "make:make"
  "python3:python3"
  "Xvfb:xvfb"
  "chmcmd:fp-utils"
  "i686-w64-mingw32-g++-posix:g++-mingw-w64-i686-posix"
  "i686-w64-mingw32-gcc-posix:gcc-mingw-w64-i686-posix"
  "i686-w64-mingw32-windres:binutils-mingw-w64-i686"
  "wine:wine"
)
file_pkgs=(
  "/usr/src/googletest/CMakeLists.txt:googletest"
  "/usr/include/gtest/gtest.h:libgtest-dev"
  "/usr/include/benchmark/benchmark.h:libbenchmark-dev"
  "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc:fonts-wqy-microhei"
  "/usr/share/wine/fonts/marlett.ttf:fonts-wine"
  "/usr/lib/i386-linux-gnu/wine/i386-windows/kernel32.dll:wine32:i386"
  "/usr/bin/convert:imagemagick"
)

missing=()
for pair in "${native_pkgs[@]}"; do
  cmd=${pair%%:*}; pkg=${pair#*:}
  command -v "$cmd" >/dev/null 2>&1 || missing+=("$pkg")
done
for pair in "${file_pkgs[@]}"; do
  file=${pair%%:*}; pkg=${pair#*:}
  [ -e "$file" ] || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "deps: installing ${missing[*]}"
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
