#!/usr/bin/env bash
# Installs what is missing, builds, and shows the KKT link at work.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/build.sh
echo "The build is ready in ./build."
