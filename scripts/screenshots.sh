#!/usr/bin/env bash
# Starts the program under a virtual X server, as a person would see it, with
# kkt-emulator as its register, and takes screenshots of the main window and of
# the connection settings dialog into docs/. The program runs from a folder of
# its own, so its settings files and port links never touch the build.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if [ "${1:-}" != "--inside" ]; then
  scripts/deps.sh
  scripts/build.sh
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/ports" docs
cp build/bin/kktconf "$work/"
# The settings a user who chose the emulator's port would have.
printf '[COM_PORT]\r\nName=\177KKT-EMU\177\r\nSpeed=19200\r\nTimeOut=3500\r\n\r\n[COMMON]\r\nNumKKT=0\r\n\r\n' \
  >"$work/ProgSett.ini"

build/bin/kkt-emulator --link "$work/ports/KKT-EMU" >/dev/null 2>&1 &
pids+=($!)
openbox >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  [ -e "$work/ports/KKT-EMU" ] && break
  sleep 0.05
done

# Takes one screenshot of the program started with the given environment.
shoot() {
  local name=$1
  shift
  env "$@" "$work/kktconf" >/dev/null 2>&1 &
  local pid=$!
  sleep 3
  import -window root "$root/docs/$name.png"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "docs/$name.png"
}

shoot main-window LANG=ru_RU.UTF-8
shoot connection-settings LANG=ru_RU.UTF-8 KKTCONF_SCREENSHOT_DIALOG=1
