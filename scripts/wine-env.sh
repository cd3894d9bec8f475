# Sourced: which Windows build the tests run under Wine, and how Wine starts it.
#
# The deliverables are 32-bit and are tested as such wherever the kernel runs 32-bit code. Some
# machines' kernels run 64-bit code only (the 32-bit Wine loader fails with "Exec format error");
# there the Windows tests run on the 64-bit build of the same sources (preset windows64) under
# 64-bit Wine, in a prefix of its own. QUADRIVO_WINE_ARCH=win32 or win64 overrides the choice.
#
# Sets QUADRIVO_WINE_ARCH, QUADRIVO_WINDOWS_PRESET, QUADRIVO_WINDOWS_BUILD and WINEPREFIX, and, for
# win64, puts a "wine" that starts 64-bit Wine first on PATH.
quadrivo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# 32-bit code that runs only through an emulator registered with binfmt_misc (qemu-user) counts as
# not running: Wine there takes minutes to start a process.
quadrivo_runs_32bit_wine() {
  local emulator
  for emulator in /proc/sys/fs/binfmt_misc/qemu-i386 /proc/sys/fs/binfmt_misc/qemu-i486; do
    [ -f "$emulator" ] && grep -qx enabled "$emulator" && return 1
  done
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

if [ -z "${QUADRIVO_WINE_ARCH:-}" ]; then
  if quadrivo_runs_32bit_wine; then QUADRIVO_WINE_ARCH=win32; else QUADRIVO_WINE_ARCH=win64; fi
fi
export QUADRIVO_WINE_ARCH
if [ "$QUADRIVO_WINE_ARCH" = win64 ]; then
  QUADRIVO_WINDOWS_PRESET=windows64
  export WINEPREFIX=${WINEPREFIX:-$quadrivo_root/build/wineprefix64}
  export WINEARCH=win64
  export WINELOADER=/usr/lib/wine/wine64
  case ":$PATH:" in
    *":$quadrivo_root/scripts/wine64-shim:"*) ;;
    *) export PATH="$quadrivo_root/scripts/wine64-shim:$PATH" ;;
  esac
else
  QUADRIVO_WINDOWS_PRESET=windows
  export WINEPREFIX=${WINEPREFIX:-$quadrivo_root/build/wineprefix}
fi
QUADRIVO_WINDOWS_BUILD=$quadrivo_root/build/$QUADRIVO_WINDOWS_PRESET
export QUADRIVO_WINDOWS_PRESET QUADRIVO_WINDOWS_BUILD

# Configures the Windows build that runs here (once), builds the given targets of it, and makes
# sure the Wine prefix exists: what a script needs before it runs a program of that build.
quadrivo_prepare_windows() {
  [ -f "$QUADRIVO_WINDOWS_BUILD/CMakeCache.txt" ] || cmake --preset "$QUADRIVO_WINDOWS_PRESET" >/dev/null
  cmake --build --preset "$QUADRIVO_WINDOWS_PRESET" --target "$@" >/dev/null
  bash "$quadrivo_root/scripts/wine-prefix.sh"
}
