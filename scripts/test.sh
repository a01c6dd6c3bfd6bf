#!/usr/bin/env bash
# Configures, builds and runs every test. Usage: scripts/test.sh [build-dir]
# TB_SANITIZE=1 builds with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
SANITIZE=OFF
if [[ "${TB_SANITIZE:-0}" == 1 ]]; then SANITIZE=ON; fi
JOBS=$(nproc)
if ((JOBS > 4)); then JOBS=4; fi
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTB_SANITIZE=$SANITIZE
cmake --build "$BUILD_DIR" -j "$JOBS"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$JOBS" --timeout 600
