#!/usr/bin/env bash
# Starts the program under a virtual X server, as a person would see it, with
# kkt-emulator as its register, and takes screenshots of the main window and of
# the connection settings dialog into docs/. The program runs from a folder of
# its own, so its settings files and port links never touch the build.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if [ "${1:-}" != "--inside" ] && [ "${1:-}" != "--screen" ]; then
  # The virtual display, a window manager, the screenshot tool, and xdotool to
  # open the dialog as a person would: needed here only.
  # pngquant keeps the pictures small.
  scripts/deps.sh xvfb xauth imagemagick openbox xdotool wmctrl xclip pngquant
  scripts/build.sh
  xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside
  # "Параметры 102" maximised on the screens people use, at their scale factors.
  xvfb-run -a -s "-screen 0 1366x768x24" "$0" --screen 1.25 screen-1366x768-scale-1.25
  xvfb-run -a -s "-screen 0 1920x1080x24" "$0" --screen 2 screen-1920x1080-scale-2
  exit 0
fi

# --screen SCALE NAME: one screenshot of "Параметры 102", maximised at that scale factor.
if [ "${1:-}" = "--screen" ]; then
  scale=$2
  screen_shot=$3
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/ports" docs
# The program and the workbook reader it runs for the goods import.
cp build/bin/kktconf build/bin/kkt-xls-reader "$work/"
# The settings a user who chose the emulator's port would have.
printf '[COM_PORT]\r\nName=\177KKT-EMU\177\r\nSpeed=19200\r\nTimeOut=3500\r\n\r\n[COMMON]\r\nNumKKT=0\r\n\r\n' \
  >"$work/ProgSett.ini"

build/bin/kkt-emulator --link "$work/ports/KKT-EMU" >/dev/null 2>&1 &
emulator=$!
pids+=($emulator)
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

# Takes a screenshot of the whole screen into docs/, in a palette of at most
# 256 colours (a screen of flat widgets loses nothing visible).
shoot() {
  import -window root "$work/shot.png"
  pngquant --force --speed 1 --quality 80-100 --output "$root/docs/$1.png" "$work/shot.png"
  echo "docs/$1.png"
}

LANG=ru_RU.UTF-8 QT_SCALE_FACTOR="${scale:-1}" "$work/kktconf" >/dev/null 2>&1 &
pids+=($!)
# Waits (at most 60 s: the machine may be busy building) for a visible window of the program whose title starts
# with the given text; prints its id. (xdotool's own name search does not match
# Cyrillic titles, so the titles are compared here.)
await_window() {
  for _ in $(seq 600); do
    for w in $(xdotool search --onlyvisible --class kktconf 2>/dev/null); do
      case "$(xdotool getwindowname "$w")" in "$1"*) echo "$w"; return ;; esac
    done
    sleep 0.1
  done
}

window=$(await_window 'Программирование параметров GSM')
[ -n "$window" ] || { echo "main window did not show" >&2; exit 1; }
sleep 1

if [ -n "${screen_shot:-}" ]; then
  # Maximised, then by the keyboard letters: "Настройки" -> "Связь с ККТ",
  # "Применить", "Программирование" -> "Параметры 102".
  wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
  sleep 1
  xdotool windowactivate --sync "$window"
  xdotool key alt+Cyrillic_en
  sleep 0.5
  xdotool key Return
  [ -n "$(await_window 'Настройки связи с ККТ')" ] || { echo "connection settings did not open" >&2; exit 1; }
  sleep 0.5
  xdotool key Return
  sleep 0.5
  xdotool key alt+Cyrillic_pe
  sleep 1
  xdotool key 1
  sleep 2
  shoot "$screen_shot"
  exit 0
fi
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

# "Применить" (the dialog's default button) opens the "Программирование" menu.
xdotool key Return
sleep 0.5

# A configuration to load, as a service engineer would have it: the register
# programmed through kkt-cli, then read back into a .conf file. The program does
# not hold the port between its exchanges, so kkt-cli may use it meanwhile.
cli() { build/bin/kkt-cli --port "$work/ports/KKT-EMU" "$@" >/dev/null; }
cli set 5 1 0 "91.107.67.212"
cli set 5 2 0 "7790"
cli set 5 3 0 "OFD.EXAMPLE.RU"
cli set 5 4 0 "0000"
cli set 5 5 0 "internet.mts.ru" --raw
cli set 5 6 0 "mts" --raw
cli set 5 7 0 "mts" --raw
cli item-set 1 --name "ХЛЕБ БОРОДИНСКИЙ" --barcode 4607001770012 --price 5990 --section 1
cli item-set 2 --name "МОЛОКО 3,2% 1Л" --barcode 4601234567893 --price 8950 --section 1
cli item-set 3 --name "ДОСТАВКА" --price 30000 --section 2
cli read-config "$work/first.conf" --tables gsm,goods --range 1-3

# "Файл" -> "Загрузить конфигурацию": the file dialog takes the typed name.
xdotool mousemove --window "$window" 20 10 click 1
sleep 0.5
xdotool key Down Return
[ -n "$(await_window 'Открыть')" ] || { echo "open dialog did not show" >&2; exit 1; }
sleep 0.5
xdotool type --delay 20 "$work/first.conf"
xdotool key Return
sleep 3

# "Программирование" -> "Параметры GSM".
xdotool mousemove --window "$window" 170 10 click 1
sleep 0.5
xdotool key Down Return
sleep 1
shoot gsm-page

# "Программирование" -> "Параметры 102", then its tab "Предмет расчета".
xdotool mousemove --window "$window" 170 10 click 1
sleep 0.5
xdotool key Down Down Return
sleep 1
xdotool mousemove --window "$window" 162 69 click 1
sleep 1
shoot goods-tab

# Three goods rows from a spreadsheet pasted from row 4 on (the name cell of
# row 4 clicked, then Ctrl+V): the message tells what the rules changed, the
# cells they changed are marked, and so are the two rows with one barcode.
printf 'молоко пастеризованное 3,2%% 1л\tУзкий\t4607001770015\t89,90\t1\t\n'\
'кефир 1%%\tШирокий\t46012345678ab\t75.50\t1\t\n'\
'батон нарезной\tУзкий\t4607001770015\t45,00\t123\t\n' | xclip -selection clipboard
xdotool mousemove --window "$window" 175 175 click 1
sleep 0.5
xdotool key ctrl+v
sleep 1
shoot goods-paste
xdotool key Return
sleep 0.5

# Ctrl+F: part of a barcode found in two rows.
xdotool key ctrl+f
sleep 0.5
xdotool type --delay 50 "770015"
sleep 1
shoot goods-find
xdotool key Escape
sleep 0.5

# "Сканер штрих-кода" is the second item of "Настройки". The scanner log
# window is opened from the dialog's check box.
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

# "Отмена" closes the dialog (the reader stays stopped); the scanner log window
# is closed as a person would, through its frame.
xdotool windowactivate --sync "$dialog"
xdotool key Escape
sleep 0.5
log=$(await_window 'Отладка сканера')
xdotool windowactivate --sync "$log"
xdotool key alt+F4
sleep 0.5
xdotool windowactivate --sync "$window"

# Window coordinates below are those of a 1024x768 screen, the window placed by
# openbox: its client area starts at (20, 42) on the screen.

# "Записать в ККТ" over the whole goods range, caught in the middle of the run.
xdotool mousemove --window "$window" 700 578 click 1
sleep 2
shoot goods-run

# "Стоп": the message says how far the run went, and the tab offers to go on.
xdotool mousemove --window "$window" 558 578 click 1
[ -n "$(await_window 'Информация')" ] || { echo "the stopped run said nothing" >&2; exit 1; }
sleep 0.5
xdotool key Return
sleep 1
shoot goods-resume

# "Программирование" -> "Параметры GSM": an IP address and a port the register
# cannot hold, and another APN, typed over the loaded values.
xdotool mousemove --window "$window" 170 10 click 1
sleep 0.5
xdotool key Down Return
sleep 1
retype() { # ROW_Y TEXT: the value cell of that row emptied and typed anew
  xdotool mousemove --window "$window" 580 "$1" click 1
  sleep 0.3
  xdotool key End
  for _ in $(seq 30); do xdotool key BackSpace; done
  xdotool type --delay 30 "$2"
  xdotool key Return
  sleep 0.3
}
retype 92 "91.107.67.300"
retype 134 "77900"
retype 176 "internet.beeline.ru"

# "Сверить с ККТ": the register read into a copy and compared with the page.
xdotool mousemove --window "$window" 919 578 click 1
[ -n "$(await_window 'Сверка с ККТ')" ] || { echo "no verification window" >&2; exit 1; }
sleep 1
shoot verify-dialog
xdotool key Escape
sleep 0.5

# "Записать в ККТ": the check before writing names the address and the port.
xdotool windowactivate --sync "$window"
xdotool mousemove --window "$window" 700 578 click 1
[ -n "$(await_window 'Проверка перед записью')" ] || { echo "no check before writing" >&2; exit 1; }
sleep 1
shoot store-check
xdotool key Escape # "Отмена", the default: nothing is written
sleep 0.5
xdotool windowactivate --sync "$window"
retype 92 "91.107.67.212"
retype 134 "7790"

# The "Программирование" menu open, then its "Записать всю конфигурацию в ККТ".
xdotool mousemove --window "$window" 170 10 click 1
sleep 1
shoot menu-programming
xdotool key Down Down Down Return
[ -n "$(await_window 'Запись конфигурации в ККТ')" ] || { echo "no whole-configuration run" >&2; exit 1; }
sleep 2
shoot config-run

# The register falls silent in the middle of the goods (as when its cable is
# pulled): the request's time-out, the failure named, and "Продолжить с ...".
kill -STOP "$emulator"
[ -n "$(await_window 'Ошибка')" ] || { echo "the silent register was not reported" >&2; exit 1; }
sleep 0.5
shoot config-error
xdotool key Return
kill -CONT "$emulator"
sleep 1
shoot config-resume
run=$(await_window 'Запись конфигурации в ККТ')
xdotool windowactivate --sync "$run"
xdotool key Escape
sleep 0.5

# "Перейти к товару" 1 (the field holds it) to show the first rows, then
# "1C: Предприятие" -> "Загрузить из 1С (формат *.xls)": a workbook of the tests' fixtures.
xdotool windowactivate --sync "$window"
xdotool mousemove --window "$window" 202 480 click 1
sleep 0.5
xdotool mousemove --window "$window" 699 508 click 1
sleep 0.5
xdotool key Down Down Down Return
[ -n "$(await_window 'Открыть')" ] || { echo "open dialog did not show" >&2; exit 1; }
sleep 0.5
xdotool type --delay 20 "$root/tests/fixtures/goods.xls"
xdotool key Return
sleep 3
shoot goods-xls
