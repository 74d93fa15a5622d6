#!/usr/bin/env bash
# Installs what is missing, builds, starts kkt-emulator (published as ports/KKT-EMU
# beside the programs) and then the program. Quitting the program stops the emulator.
# Without a display it shows the link at work through kkt-cli instead.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/build.sh

bin=build/bin
out=$(mktemp)
scanout=$(mktemp)
codes=build/scan-codes
rm -f "$codes"
mkfifo "$codes"
"$bin/kkt-emulator" >"$out" 2>&1 </dev/null &
emulator=$!
# Read-write, so the scanner never sees the end of its input between two writers.
"$bin/scanner-emulator" >"$scanout" 2>&1 <>"$codes" &
scanner=$!
# SIGTERM lets the emulators remove their links from build/bin/ports.
trap 'kill "$emulator" "$scanner" 2>/dev/null || true; wait "$emulator" "$scanner" 2>/dev/null || true
      rm -f "$out" "$scanout" "$codes"' EXIT

# Waits for the line that names the emulator's terminal.
published() {
  local pid=$1 file=$2
  for _ in $(seq 100); do
    grep -q ' -> ' "$file" && break
    if ! kill -0 "$pid" 2>/dev/null; then
      cat "$file" >&2
      exit 1
    fi
    sleep 0.05
  done
  head -n 1 "$file"
}
published "$emulator" "$out"
published "$scanner" "$scanout"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Starting kktconf. In \"Настройки\" -> \"Связь с ККТ\" choose the port KKT-EMU; Ctrl+A shows the exchange log."
  echo "Scanner: in \"Настройки\" -> \"Сканер штрих-кода\" choose Bee2 (RS-232), port SCAN-EMU, any speed;"
  echo "select a \"Штрих-код\" cell of \"Предмет расчета\" and scan with: echo 4607001770015 > $codes"
  "$bin/kktconf"
  exit 0
fi

echo "No display: showing the link through kkt-cli instead (see scripts/screenshots.sh for the window under Xvfb)."
cli() {
  echo "\$ kkt-cli $*"
  "$bin/kkt-cli" "$@"
}
cli ports
cli --port KKT-EMU --trace link
cli --port KKT-EMU item-set 1 --name "Хлеб бородинский" --barcode 4607001770012 --price 5990 --section 1
cli --port KKT-EMU item-get 1
