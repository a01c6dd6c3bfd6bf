#!/usr/bin/env bash
# Builds the benchmarks as a Release build of their own (build-bench/, through ccache when it is
# installed), runs every one of them and prints, for each speed goal, the median ratio of the
# measured side over its baseline, its spread and PASS or FAIL. Not part of CI.
#
# Usage: bench/run.sh [build-dir]
#   TB_BENCH_REPETITIONS  repetitions of each goal's benchmarks (default 5)
#   TB_BENCH_JOBS         build jobs (default: the processors, at most 4)
#   TB_BENCH_SKIP_BUILD=1 use the build directory as it is
#
# Each goal names a benchmark program and what it reads from that program's JSON report
# (--benchmark_out), so a program's own printed summary may change freely:
#   pair     MEASURED BASELINE  the two benchmarks' real time per iteration in the same
#            repetition (repetitions interleaved at random), one ratio per repetition; the
#            median of those ratios, [lowest, highest] as its spread
#   counter  BENCHMARK COUNTER  the benchmark's own ratio counter, one per repetition; the median
#            of those, [lowest, highest] as its spread (the start-up benchmark times the program
#            and the bare window in alternating pairs itself and counts the median pair)
# A program that is missing, fails, reports an error or lacks a named benchmark or counter
# shows ERROR for its goals, never PASS. The files and link benchmarks have no goal here: they
# run once and their own summary lines are shown.
#
# Exit status: 0 every goal passed, 1 a goal failed, 2 a goal could not be measured.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build-bench}
REPETITIONS=${TB_BENCH_REPETITIONS:-5}
JOBS=${TB_BENCH_JOBS:-$(nproc)}
if ((JOBS > 4)); then JOBS=4; fi

# program | kind | measured | baseline or counter | limit | goal
GOALS=$(
    cat <<'EOF'
tb_bench_pictures|pair|Band_Picture|Band_Baseline|4|band picture / one read of its samples
tb_bench_pictures|pair|BScan_Picture|BScan_Baseline|4|B-scan / one read of its samples
tb_bench_pictures|pair|DScan_Picture|DScan_Baseline|4|D-scan / one read of its samples
tb_bench_maps_page|pair|MapDrag_Page|MapDrag_Baseline|3|maps-page cursor drag / presenting the four ready pictures
tb_bench_reports|pair|Page_Play|Page_Baseline|2|report page played / drawn straight
tb_bench_preview|pair|Preview_DrawPage|Preview_ScaledBitmap|3|preview's first drawing / Qt scaling the page's bitmap
tb_bench_map_report|pair|MapReport_FillGenerateAndPreview|MapReport_FourPicturesAlone|2|map report of the largest map / its four pictures
tb_bench_startup|counter|BM_StartupAgainstBareWindow|ratio|2|start to first shown main window / a bare window
EOF
)
GOAL_PROGRAMS=(tb_bench_pictures tb_bench_maps_page tb_bench_reports tb_bench_preview
    tb_bench_map_report tb_bench_startup)
OTHER_PROGRAMS=(tb_bench_files tb_bench_link)

if [[ "${TB_BENCH_SKIP_BUILD:-0}" != 1 ]]; then
    LAUNCHER=()
    if command -v ccache >/dev/null; then
        LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTB_SANITIZE=OFF \
        -DTB_BENCH=ON "${LAUNCHER[@]}" >/dev/null
    # Each program on its own, an old binary removed first: a program that does not build (or no
    # longer exists) is reported as an error of its goals below, never measured from a stale copy.
    echo "== building in $BUILD_DIR (log: $BUILD_DIR/bench-build.log)" >&2
    : >"$BUILD_DIR/bench-build.log"
    for program in "${GOAL_PROGRAMS[@]}" "${OTHER_PROGRAMS[@]}"; do
        rm -f "$BUILD_DIR/bin/$program"
        if ! cmake --build "$BUILD_DIR" -j "$JOBS" --target "$program" \
            >>"$BUILD_DIR/bench-build.log" 2>&1; then
            echo "bench/run.sh: $program did not build (see the log)" >&2
        fi
    done
fi

BIN="$BUILD_DIR/bin"
OUT="$BUILD_DIR/bench-results"
rm -rf "$OUT"
mkdir -p "$OUT"
export QT_QPA_PLATFORM=offscreen

run_program() { # name, then extra arguments
    local name=$1
    shift
    if [[ ! -x "$BIN/$name" ]]; then
        echo "$name: not built" >"$OUT/$name.failed"
        return
    fi
    echo "== $name" >&2
    local status=0
    "$BIN/$name" --benchmark_out="$OUT/$name.json" --benchmark_out_format=json "$@" \
        >"$OUT/$name.txt" 2>"$OUT/$name.err" || status=$?
    if ((status != 0)); then
        echo "$name: exited with status $status" >"$OUT/$name.failed"
    fi
}

for program in "${GOAL_PROGRAMS[@]}"; do
    run_program "$program" --benchmark_repetitions="$REPETITIONS" \
        --benchmark_enable_random_interleaving=true
done
for program in "${OTHER_PROGRAMS[@]}"; do
    run_program "$program"
done

GOALS="$GOALS" OUT="$OUT" OTHERS="${OTHER_PROGRAMS[*]}" python3 - <<'PY'
import json
import os
import statistics
import sys

out = os.environ["OUT"]
unit_ns = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def load(program):
    failed = os.path.join(out, program + ".failed")
    if os.path.exists(failed):
        return None, open(failed).read().strip()
    try:
        with open(os.path.join(out, program + ".json")) as f:
            return json.load(f).get("benchmarks", []), None
    except (OSError, ValueError) as e:
        return None, f"{program}: no readable report ({e})"


def runs_of(benchmarks, function):
    # Iteration runs of one benchmark function, whatever arguments its name carries.
    found = [b for b in benchmarks if b.get("run_type", "iteration") == "iteration"
             and b.get("name", "").split("/")[0] == function]
    errors = [b.get("error_message", "error") for b in found if b.get("error_occurred")]
    return [b for b in found if not b.get("error_occurred")], errors


def pair(benchmarks, measured, baseline):
    m, merr = runs_of(benchmarks, measured)
    b, berr = runs_of(benchmarks, baseline)
    if merr or berr:
        raise ValueError("; ".join(merr + berr))
    if not m or not b:
        raise ValueError(f"no runs of {measured if not m else baseline}")
    def by_repetition(runs):
        return {r.get("repetition_index", i): r["real_time"] * unit_ns[r.get("time_unit", "ns")]
                for i, r in enumerate(runs)}
    mt, bt = by_repetition(m), by_repetition(b)
    ratios = [mt[k] / bt[k] for k in sorted(mt) if k in bt and bt[k] > 0]
    if not ratios:
        raise ValueError("no repetition holds both sides")
    return statistics.median(ratios), min(ratios), max(ratios), len(ratios)


def counter(benchmarks, name, key):
    runs, errors = runs_of(benchmarks, name)
    if errors:
        raise ValueError("; ".join(errors))
    if not runs:
        raise ValueError(f"no runs of {name}")
    if any(key not in r for r in runs):
        raise ValueError(f"{name} has no counter {key}")
    values = [r[key] for r in runs]
    return statistics.median(values), min(values), max(values), len(values)


rows = []
status = 0
cache = {}
for line in os.environ["GOALS"].strip().splitlines():
    program, kind, first, second, limit, goal = line.split("|")
    limit = float(limit)
    if program not in cache:
        cache[program] = load(program)
    benchmarks, problem = cache[program]
    try:
        if benchmarks is None:
            raise ValueError(problem)
        if kind == "pair":
            median, low, high, n = pair(benchmarks, first, second)
        else:
            median, low, high, n = counter(benchmarks, first, second)
        result = "PASS" if median <= limit else "FAIL"
        if result == "FAIL":
            status = max(status, 1)
        rows.append((goal, f"{median:6.2f}", f"[{low:.2f}, {high:.2f}] of {n}",
                     f"<= {limit:g}", result))
    except (ValueError, KeyError, ZeroDivisionError) as e:
        status = 2
        text = str(e) if str(e).startswith(program) else f"{program}: {e}"
        rows.append((goal, "     -", f"({text})", f"<= {limit:g}", "ERROR"))

print()
print(f"{'goal':<62} {'median':>6}  {'spread':<22} {'limit':<6} result")
for goal, median, spread, limit, result in rows:
    print(f"{goal:<62} {median:>6}  {spread:<22} {limit:<6} {result}")

for program in os.environ["OTHERS"].split():
    benchmarks, problem = load(program)
    print(f"\n{program} (no goal here):", "ERROR " + problem if benchmarks is None else "")
    if benchmarks is not None:
        errors = [b.get("error_message", "error") for b in benchmarks if b.get("error_occurred")]
        for e in errors:
            print("  ERROR", e)
            status = 2
        text = os.path.join(out, program + ".txt")
        for t in open(text).read().splitlines():
            if "goal" in t or "speed" in t or "added" in t:
                print("  " + t.strip())
print(f"\nReports and console output: {out}/")
sys.exit(status)
PY
