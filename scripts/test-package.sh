#!/usr/bin/env bash
# The package end to end: built by scripts/package.sh from the given build,
# unpacked into a staging root, its programs run from there with a HOME of
# their own. An installed program must keep its settings and ports in that
# HOME, find its workbook reader in its own library folder, and answer.
#   scripts/test-package.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "$1")
deb=$("$here/scripts/package.sh" "$build" | grep '\.deb$' | tail -n 1)

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

dpkg -x "$deb" "$work/root"
bin=$work/root/usr/bin
export HOME=$work/home
mkdir -p "$HOME"
unset XDG_CONFIG_HOME XDG_DATA_HOME
export QT_QPA_PLATFORM=offscreen

# What the package holds, where Debian wants it.
for f in usr/bin/kktconf usr/bin/kkt-cli usr/bin/kkt-emulator usr/bin/scanner-emulator \
         usr/lib/kktconf/kkt-xls-reader usr/share/applications/ru.kktconf.kktconf.desktop \
         usr/share/metainfo/ru.kktconf.kktconf.metainfo.xml usr/share/icons/hicolor/scalable/apps/kktconf.svg \
         usr/share/icons/hicolor/48x48/apps/kktconf.png usr/share/man/man1/kkt-cli.1.gz \
         usr/share/doc/kktconf/copyright usr/share/doc/kktconf/guide.html; do
  [ -e "$work/root/$f" ] || fail "missing in the package: $f"
done
# The guide's pictures beside it, and the guide named in the manual page.
doc=$work/root/usr/share/doc/kktconf
pictures=$(grep -o '<img [^>]*src="[^"]*"' "$doc/guide.html" | sed 's/.*src="//; s/"$//')
[ -n "$pictures" ] || fail "the guide shows no pictures"
for p in $pictures; do [ -f "$doc/$p" ] || fail "the guide shows $p, which the package lacks"; done
zcat "$work/root/usr/share/man/man1/kktconf.1.gz" | grep -q 'guide\.html' || fail "man kktconf does not name the guide"
echo "user guide with $(wc -w <<<"$pictures") pictures: ok"
[ ! -e "$bin/kkt-xls-reader" ] || fail "kkt-xls-reader is on PATH"

help=$("$bin/kkt-cli" --help) || fail "kkt-cli --help failed"
grep -q 'Использование: kkt-cli' <<<"$help" || fail "kkt-cli --help: $help"
echo "kkt-cli --help: ok"

# The workbook reader comes from the package's library folder.
"$bin/kkt-cli" convert "$here/tests/fixtures/goods.xls" "$work/goods.db102" >/dev/null || fail "kkt-cli convert .xls"
[ -s "$work/goods.db102" ] || fail "no goods file from the workbook"
echo "kkt-xls-reader from /usr/lib/kktconf: ok"

# The program: its settings land in the user's configuration folder.
"$bin/kktconf" >"$work/kktconf.log" 2>&1 &
pids+=($!)
config=$HOME/.config/kktconf
for _ in $(seq 300); do
  [ -f "$config/ProgSett.ini" ] && [ -f "$config/Scan.cfg" ] && break
  kill -0 "${pids[0]}" 2>/dev/null || { cat "$work/kktconf.log" >&2; fail "kktconf ended at start-up"; }
  sleep 0.1
done
[ -f "$config/ProgSett.ini" ] || fail "no ProgSett.ini in $config"
[ -f "$config/Scan.cfg" ] || fail "no Scan.cfg in $config"
[ ! -e "$bin/ProgSett.ini" ] && [ ! -e "$bin/Scan.cfg" ] || fail "settings written beside the installed program"
echo "kktconf settings in $config: ok"

# The emulator publishes its port in the user's data folder, where kkt-cli finds it.
"$bin/kkt-emulator" >"$work/emulator.log" 2>&1 </dev/null &
pids+=($!)
ports=$HOME/.local/share/kktconf/ports
for _ in $(seq 100); do [ -e "$ports/KKT-EMU" ] && break; sleep 0.05; done
[ -e "$ports/KKT-EMU" ] || { cat "$work/emulator.log" >&2; fail "no KKT-EMU in $ports"; }
[ ! -e "$bin/ports" ] || fail "ports folder beside the installed program"
listed=$("$bin/kkt-cli" ports) || fail "kkt-cli ports failed"
grep -qx 'KKT-EMU' <<<"$listed" || fail "kkt-cli ports does not list KKT-EMU: $listed"
"$bin/kkt-cli" --port KKT-EMU link >/dev/null || fail "kkt-cli link through the user's ports folder"
# And finds it by itself, without being told the port.
found=$("$bin/kkt-cli" find) || fail "kkt-cli find did not find the emulator"
[ "$found" = "port=KKT-EMU speed=115200" ] || fail "kkt-cli find: $found"
echo "kkt-emulator and kkt-cli through $ports: ok"
echo "package: ok"
