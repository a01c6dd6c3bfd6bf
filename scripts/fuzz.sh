#!/usr/bin/env bash
# Builds the fuzz targets of the parsers with clang (TB_FUZZ=ON) and runs each over its seeds and
# then for a bounded time; stops with failure on the first finding (crash, sanitizer report,
# broken property, leak, timeout, out of memory), whose input is kept in <build-dir>/findings.
#
# Usage: scripts/fuzz.sh [seconds-per-target] [build-dir]
#   seconds-per-target  default 10 (the short CI step); 600 or more for a campaign
#   TB_FUZZ_TARGETS     only these targets (names without "fuzz_", space-separated)
#   TB_FUZZ_JOBS        targets fuzzed at the same time (default 1)
# The corpus each target grows is kept in <build-dir>/corpus/<target> for the next campaign.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-10}
BUILD_DIR=${2:-build-fuzz}
JOBS=$(nproc)
if ((JOBS > 4)); then JOBS=4; fi
LAUNCHER=()
if command -v ccache >/dev/null; then
    LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTB_FUZZ=ON "${LAUNCHER[@]}" >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS"

BIN=$BUILD_DIR/bin
SEEDS=$BUILD_DIR/seeds
rm -rf "$SEEDS"
"$BIN/fuzz_make_seeds" "$SEEDS"
cp examples/AScans.dtf examples/AScansOldFormat.dtf "$SEEDS/ascan_files/"
cp examples/Bands.btf "$SEEDS/band_files/"
cp examples/Maps.mtf "$SEEDS/map_files/"
cp examples/Configurations.ctf "$SEEDS/config_files/"
mkdir -p "$BUILD_DIR/findings" "$BUILD_DIR/corpus"

# target, dictionary, whether one allocation may exceed 64 MB (pictures and bitmaps may rightly
# decode a small stream into a large picture; no other parser may), and the seconds one input may
# take: drawing a page must never take a second.
TARGETS=(
    "language_files text.dict small 20"
    "config_text config.dict small 20"
    "config_block config.dict small 20"
    "config_files config.dict small 20"
    "flash_markup bitmap.dict small 20"
    "ascan_files records.dict small 20"
    "band_files records.dict small 20"
    "map_files records.dict small 20"
    "bitmap_stream bitmap.dict large 20"
    "hint_markup hint.dict large 20"
    "pictures jpeg.dict large 20"
    "emf_pages emf.dict large 20"
    "page_files emf.dict large 20"
    "old_page_files emf.dict large 20"
    "page_player emf.dict large 1"
    "page_search emf.dict small 20"
    "expressions expressions.dict small 20"
    "line_reader text.dict small 20"
    "numbers numbers.dict small 20"
)

run_target() {
    local name=$1 dict=$2 memory=$3 timeout=$4
    local corpus=$BUILD_DIR/corpus/$name
    mkdir -p "$corpus"
    local limits=(-rss_limit_mb=2048)
    if [[ $memory == small ]]; then limits+=(-malloc_limit_mb=64); fi
    local log=$BUILD_DIR/findings/$name.log
    if ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp QT_QPA_PLATFORM=offscreen \
        "$BIN/fuzz_$name" -max_len=65536 -timeout="$timeout" -max_total_time="$SECONDS_PER_TARGET" \
        -print_final_stats=1 "${limits[@]}" -dict="fuzz/dict/$dict" \
        -artifact_prefix="$BUILD_DIR/findings/$name-" "$corpus" "$SEEDS/$name" >"$log" 2>&1; then
        echo "fuzz_$name: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" |
            grep -o '[0-9]*$') runs in ${SECONDS_PER_TARGET} s, no finding"
    else
        echo "fuzz_$name: FINDING (see $log)"
        tail -n 40 "$log"
        return 1
    fi
}
export -f run_target
export BUILD_DIR BIN SEEDS SECONDS_PER_TARGET

selected=()
for entry in "${TARGETS[@]}"; do
    read -r name dict memory timeout pending <<<"$entry"
    if [[ -n ${TB_FUZZ_TARGETS:-} && " $TB_FUZZ_TARGETS " == *" $name "* ]] ||
        [[ -z ${TB_FUZZ_TARGETS:-} && -z $pending ]]; then
        selected+=("$name $dict $memory $timeout")
    fi
done
printf '%s\n' "${selected[@]}" |
    xargs -P "${TB_FUZZ_JOBS:-1}" -I{} bash -c 'run_target {}'
