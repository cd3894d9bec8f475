#!/usr/bin/env bash
# Makes the project's private Wine prefix once (build/wineprefix) and reuses it afterwards:
# Chinese fonts that also carry Latin glyphs, Marlett for the caption buttons, and a virtual
# desktop so that windows get frames and message boxes answer quickly on a bare X server.
# The settings carry a version of their own, so a changed setting reaches an existing prefix.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
created=$WINEPREFIX/.quadrivo-prefix-v1
settings=$WINEPREFIX/.quadrivo-settings-v2
[ -f "$created" ] && [ -f "$settings" ] && exit 0

if [ ! -f "$created" ]; then
  echo "wine-prefix: creating $WINEPREFIX (once)"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  touch "$created"
fi

fonts='HKCU\Software\Wine\Fonts\Replacements'
for face in 宋体 新宋体 SimSun NSimSun 黑体 SimHei 微软雅黑 'Microsoft YaHei'; do
  wine reg add "$fonts" /v "$face" /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
done
links='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
for face in Tahoma 'Liberation Sans' Arial 'MS Shell Dlg' 'MS Shell Dlg 2' 'Microsoft Sans Serif' \
            'MS Sans Serif' 'Segoe UI'; do
  wine reg add "$links" /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
done
# Large enough for the main window at 1000 x 800 and more (the Xvfb screen is 1280 x 1024).
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
# No crash dialog: a crashed test must fail, not wait for a click.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
# Caption buttons draw as letters without Marlett in the prefix.
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
wineserver -w
touch "$settings"
