#!/usr/bin/env bash
# Configures (once) and builds into ./build.
set -euo pipefail
cd "$(dirname "$0")/.."
# KKT_WERROR=ON in the environment makes warnings errors (the CI does).
if [ ! -f build/build.ninja ] || [ -n "${KKT_WERROR:-}" ]; then
  cmake -S . -B build -G Ninja -DKKT_WERROR="${KKT_WERROR:-OFF}" >/dev/null
fi
cmake --build build -j"$(nproc)"
