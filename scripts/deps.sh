#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and run.sh need, only when missing.
set -euo pipefail
packages=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev libqt6serialport6 libfreexl-dev
          libgl1-mesa-dev python3 python3-xlwt xvfb xauth imagemagick fonts-dejavu-core openbox)
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
