#!/usr/bin/env bash
# Installs, only when missing, the Debian packages the build and the tests need,
# plus any packages named on the command line (scripts that need more pass them).
set -euo pipefail
packages=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev libqt6serialport6 libfreexl-dev libgsf-1-dev libquazip1-qt6-dev libxlsxwriter-dev
          libgl1-mesa-dev python3 python3-markdown fonts-dejavu-core ccache qt6-translations-l10n "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq "${missing[@]}"
fi
