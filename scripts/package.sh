#!/usr/bin/env bash
# Builds the Debian package build/kktconf_VERSION_ARCH.deb from the built tree
# (CPack over the existing build: nothing is compiled twice), then checks it
# as the distribution would: desktop-file-validate, appstreamcli and lintian.
# lintian's errors fail the script; its warnings are printed.
#   scripts/package.sh [BUILD_DIR]     (build by default)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath -m "${1:-build}")
scripts/deps.sh dpkg-dev lintian desktop-file-utils appstream
if [ "$build" = "$root/build" ]; then
  scripts/build.sh
else
  cmake --build "$build" -j"$(nproc)"
fi

desktop-file-validate packaging/ru.kktconf.kktconf.desktop
appstreamcli validate --no-net --pedantic packaging/ru.kktconf.kktconf.metainfo.xml >/dev/null

rm -f "$build"/kktconf_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/kktconf_*.deb)
echo "$deb"
# Root builds the package in CI; lintian would refuse to run as root without this.
lintian --allow-root --fail-on error --tag-display-limit 0 "$deb"
