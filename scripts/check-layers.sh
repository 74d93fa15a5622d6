#!/usr/bin/env bash
# The core never reaches up into the GUI: no file of kktcore (nor of the
# emulator library) may include a header from src/app/ or src/ui/, nor a
# widgets header.
set -euo pipefail
cd "$(dirname "$0")/.."
core=(src/kkt src/config src/pages src/scanner src/emulator)
dirs=()
for d in "${core[@]}"; do [ -d "$d" ] && dirs+=("$d"); done
bad=$(grep -rnE '#include\s*[<"]((app|ui)/|QtWidgets|Q(Widget|Dialog|MainWindow|Application|MessageBox|TableView|LineEdit|ComboBox|Label|PushButton)[>"])' \
      "${dirs[@]}" --include='*.h' --include='*.cpp' || true)
if [ -n "$bad" ]; then
  echo "Core files include GUI headers:" >&2
  echo "$bad" >&2
  exit 1
fi
echo "Layer check: the core includes no GUI header."
