#!/usr/bin/env bash
# Installs what is missing, builds, runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/check-layers.sh
scripts/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" "$@"
