#!/usr/bin/env bash
# Starts the program under a virtual X server, as a person would see it, with
# kkt-emulator as its register, and takes screenshots of the main window and of
# the connection settings dialog into docs/. The program runs from a folder of
# its own, so its settings files and port links never touch the build.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if [ "${1:-}" != "--inside" ]; then
  # The virtual display, a window manager, the screenshot tool, and xdotool to
  # open the dialog as a person would: needed here only.
  scripts/deps.sh xvfb xauth imagemagick openbox xdotool
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
# A scanner on its own port, already chosen in the scanner settings.
printf '[CURRENT]\r\nModelName=Bee2 (RS-232)\r\nComPort=SCAN-EMU\r\nSpeedPort=9600\r\n' >"$work/Scan.cfg"
build/bin/scanner-emulator --link "$work/ports/SCAN-EMU" >/dev/null 2>&1 </dev/null &
pids+=($!)
openbox >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  [ -e "$work/ports/KKT-EMU" ] && break
  sleep 0.05
done

# Takes a screenshot of the whole screen into docs/.
shoot() {
  import -window root "$root/docs/$1.png"
  echo "docs/$1.png"
}

LANG=ru_RU.UTF-8 "$work/kktconf" >/dev/null 2>&1 &
pids+=($!)
# Waits (at most 20 s) for a visible window of the program whose title starts
# with the given text; prints its id. (xdotool's own name search does not match
# Cyrillic titles, so the titles are compared here.)
await_window() {
  for _ in $(seq 200); do
    for w in $(xdotool search --onlyvisible --class kktconf 2>/dev/null); do
      case "$(xdotool getwindowname "$w")" in "$1"*) echo "$w"; return ;; esac
    done
    sleep 0.1
  done
}

window=$(await_window 'Программирование параметров GSM')
[ -n "$window" ] || { echo "main window did not show" >&2; exit 1; }
sleep 1
shoot main-window

# "Настройки" is the second entry of the menu bar, right of "Файл"; its first
# item is "Связь с ККТ". The click opens the menu, the keys choose the item.
xdotool windowactivate --sync "$window"
xdotool mousemove --window "$window" 70 10 click 1
sleep 0.5
xdotool key Down Return
[ -n "$(await_window 'Настройки связи с ККТ')" ] || { echo "connection settings did not open" >&2; exit 1; }
sleep 1
shoot connection-settings

# "Отмена" is the dialog's Escape; "Сканер штрих-кода" is the second item of
# "Настройки". The scanner log window is opened from the dialog's check box.
xdotool key Escape
sleep 0.5
xdotool mousemove --window "$window" 70 10 click 1
sleep 0.5
xdotool key Down Down Return
dialog=$(await_window 'Настройки сканера штрих-кода')
[ -n "$dialog" ] || { echo "scanner settings did not open" >&2; exit 1; }
sleep 0.5
xdotool mousemove --window "$dialog" 24 258 click 1
[ -n "$(await_window 'Отладка сканера')" ] || { echo "scanner log did not open" >&2; exit 1; }
sleep 1
shoot scanner-settings
