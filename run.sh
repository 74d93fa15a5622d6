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
"$bin/kkt-emulator" >"$out" 2>&1 </dev/null &
emulator=$!
# SIGTERM lets the emulator remove its link from build/bin/ports.
trap 'kill "$emulator" 2>/dev/null || true; wait "$emulator" 2>/dev/null || true; rm -f "$out"' EXIT

for _ in $(seq 100); do
  grep -q ' -> ' "$out" && break
  if ! kill -0 "$emulator" 2>/dev/null; then
    cat "$out" >&2
    exit 1
  fi
  sleep 0.05
done
cat "$out"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Starting kktconf. In \"Настройки\" -> \"Связь с ККТ\" choose the port KKT-EMU; Ctrl+A shows the exchange log."
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
