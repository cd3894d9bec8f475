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
  # The update publisher's tool and the build's key handling (run with /usr/bin/python3).
  "/usr/lib/python3/dist-packages/cryptography/__init__.py:python3-cryptography"
)
# Where the kernel runs no 32-bit code, the Windows tests run on the 64-bit build under 64-bit
# Wine (scripts/wine-env.sh).
win64_pkgs=(
  "x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix"
  "x86_64-w64-mingw32-gcc-posix:gcc-mingw-w64-x86-64-posix"
  "x86_64-w64-mingw32-windres:binutils-mingw-w64-x86-64"
  "/usr/lib/wine/wine64:wine64"
)

missing=()
add_missing() {  # pairs...
  local pair thing pkg
  for pair in "$@"; do
    thing=${pair%%:*}; pkg=${pair#*:}
    if [[ $thing == /* ]]; then
      [ -e "$thing" ] || missing+=("$pkg")
    else
      command -v "$thing" >/dev/null 2>&1 || missing+=("$pkg")
    fi
  done
}

apt_updated=0
install_missing() {
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "deps: installing ${missing[*]}"
  local sudo=
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  if [ $apt_updated -eq 0 ]; then
    $sudo apt-get update -qq
    apt_updated=1
  fi
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  missing=()
}

add_missing "${native_pkgs[@]}" "${file_pkgs[@]}"
install_missing

source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
if [ "$QUADRIVO_WINE_ARCH" = win64 ]; then
  add_missing "${win64_pkgs[@]}"
  install_missing
fi
