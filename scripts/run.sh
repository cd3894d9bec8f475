#!/usr/bin/env bash
# Builds, then runs the whole program under Wine in build/windows/run/ (build/windows64/run/ where
# the kernel runs no 32-bit code: scripts/wine-env.sh), a fresh run directory holding what a host
# installs: Quadrivo.exe, Help.CHM and a Config.ini with the installed version of the release
# (common/version.h) and the address of a demo update server. The server
# (scripts/demo_update_server.py) runs on 127.0.0.1 at a free port while the trainer runs and
# offers version 1.19, whose download is the built Quadrivo.exe itself: 文件 → 检查更新 → 是
# downloads "Quadrivo V1.19.exe" and starts it, and its own check then says the program is up to
# date. The trainer's start writes Scribbet.dll and
# log.txt there, as on a fresh install.
#
# With a display the trainer opens there and the command returns when it (or the version it
# updated to) is closed. Without one it runs on a private Xvfb and takes a tour instead, with a
# screenshot after each step: a round, About, the help viewer, and the whole update.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/deps.sh
# The Windows build that runs here: the 32-bit one, or the 64-bit one where no 32-bit code runs.
source scripts/wine-env.sh
windows=build/$QUADRIVO_WINDOWS_PRESET
bash scripts/build.sh
echo "Deliverables in $(pwd)/$windows/bin:"
ls -l $windows/bin/*.dll $windows/bin/Quadrivo.exe $windows/bin/Help.CHM

bash scripts/wine-prefix.sh
run=$windows/run
rm -rf "$run"
mkdir -p "$run"
cp $windows/bin/Quadrivo.exe $windows/bin/Help.CHM "$run/"
driver=$windows/bin/trainer_driver.exe
offered=1.19

# The trainer asks 127.0.0.1 directly, never through a proxy of the environment.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
port_file=$(mktemp -u)
server=
source scripts/headless.sh
stop_all() {
  quadrivo_stop_headless
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
  fi
  rm -f "$port_file" "$port_file.tmp"
}
trap stop_all EXIT

source scripts/port-file.sh
# 400 KB/s: the download takes a few seconds, so the update window's progress can be followed.
# Signed with the development key, whose public half the build compiled into Novavis.dll.
/usr/bin/python3 scripts/demo_update_server.py --program $windows/bin/Quadrivo.exe --version "$offered" \
  --key build/update-key/private.pem --port-file "$port_file" --rate 400 &
server=$!
if ! quadrivo_wait_for_port_file "$server" "$port_file"; then
  echo "run: the demo update server did not start" >&2
  exit 1
fi
port=$(cat "$port_file")
# Config.ini as a host keeps it: Windows INI lines, CR LF; the installed version is the release's.
release=$(sed -n 's/^#define QUADRIVO_RELEASE_TEXT "\(.*\)"$/\1/p' common/version.h)
printf '[currentVersion]\r\nVersion=%s\r\n\r\n[UpdateInfo]\r\nUrl=http://127.0.0.1:%s/update.xml\r\n' "$release" "$port" \
  >"$run/Config.ini"
echo "Demo update server on http://127.0.0.1:$port/update.xml offers version $offered (PID $server)."

quadrivo_start_headless
if [ -n "${DISPLAY:-}" ] && [ -z "$quadrivo_xvfb_pid" ]; then
  echo "Quadrivo is running in $run; 文件 → 检查更新 finds version $offered. Close its window to end."
  (cd "$run" && wine Quadrivo.exe) || true
  # After an accepted update the first trainer has ended and "Quadrivo V$offered.exe" runs on.
  wine "$driver" wait-end || true
else
  echo "No DISPLAY: a tour of the trainer on a private Xvfb, with screenshots."
  # The driver's answers go through a file: a trainer it starts inherits its output, and a pipe
  # would stay open for as long as the trainer runs.
  answer=$(mktemp)
  trap 'rm -f "$answer"; stop_all' EXIT
  drive() {
    if ! wine "$driver" "$@" >"$answer"; then
      echo "run: the step '$*' failed" >&2
      exit 1
    fi
    tr -d '\r' <"$answer" | sed -n 's/^text /  box: /p'
  }
  shot() {
    local out=build/run-$1.png left top width height
    read -r _ left top width height < <(tr -d '\r' <"$answer" | grep '^window')
    sleep 1  # let the last paint reach the X server
    import -window root -crop "${width}x${height}+${left}+${top}" +repage "$out"
    echo "  screenshot: $out ($2)"
  }
  drive start "$(winepath -w "$run/Quadrivo.exe")" round
  shot screenshot "the main window after a deal and its listing"
  drive command about
  shot about "About"
  drive press ok
  drive command help
  shot help "the help viewer with Help.CHM"
  drive close-viewer
  drive command update
  shot update-offer "the check finds version $offered"
  drive press yes
  drive progress
  shot update-progress "the download under way"
  drive box
  shot update-done "the download is complete"
  drive press yes
  drive handed-over "Quadrivo V$offered.exe"
  echo "  \"Quadrivo V$offered.exe\" was started and shows its window."
  drive command update
  shot update-latest "the new version's check"
  drive press ok
  wine "$driver" close >/dev/null
  echo "Config.ini now holds:"
  iconv -f GBK -t UTF-8 "$run/Config.ini" | tr -d '\r' | sed 's/^/  /'
  echo "log.txt (the first line of each entry):"
  iconv -f GBK -t UTF-8 "$run/log.txt" | tr -d '\r' | grep '^[0-9]' | cut -c1-100 | sed 's/^/  /'
fi
echo "Run directory $run now holds:"
ls -l "$run"
