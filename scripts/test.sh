#!/usr/bin/env bash
# Configures, builds and runs every test. Usage: scripts/test.sh [build-dir]
# TB_SANITIZE=1 builds with AddressSanitizer and UndefinedBehaviorSanitizer.
# TB_BUILD_TYPE chooses the CMake build type (RelWithDebInfo unless set; CI uses Release).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
SANITIZE=OFF
BENCH=ON
# Benchmarks under the sanitizers would measure nothing worth having: that build leaves them out.
if [[ "${TB_SANITIZE:-0}" == 1 ]]; then SANITIZE=ON; BENCH=OFF; fi
BUILD_TYPE=${TB_BUILD_TYPE:-RelWithDebInfo}
JOBS=$(nproc)
if ((JOBS > 4)); then JOBS=4; fi
LAUNCHER=()
if command -v ccache >/dev/null; then
    LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="$BUILD_TYPE" -DTB_SANITIZE=$SANITIZE \
    -DTB_BENCH=$BENCH "${LAUNCHER[@]}"
cmake --build "$BUILD_DIR" -j "$JOBS"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$JOBS" --timeout 600
