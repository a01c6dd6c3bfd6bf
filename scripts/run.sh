#!/usr/bin/env bash
# Installs what the program needs, builds it and starts it. Without an instrument the program talks
# to the simulated one, whose driver library the build puts beside it.
# Usage: scripts/run.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
bash scripts/setup-deps.sh
JOBS=$(nproc)
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD_DIR" -j "$JOBS" --target tollerbank3
exec "$BUILD_DIR/bin/tollerbank3"
