#!/usr/bin/env bash
# Builds a Release build of its own, starts the private test services, runs
# every benchmark and prints one table of the paths a user waits for, each
# against its floor measured in the same run:
#
#   path | ours | floor | ratio | goal | met?
#
#   tools/bench-report.sh [BUILD_DIR]     (default: build-bench in the source)
#
# Ratios are ours / floor (below 1: ours is faster). Times of the scan and
# the GIF decoder are processor time per pass; the save is a wall time, mean
# of three 60 s notes; start-up times are medians of
# eight runs (the alarm's first sound: twelve, the programs taking turns);
# the command line and the task lists are wall times, medians
# of five runs with 10,000 and 50,000 notes. Takes a few minutes: the idle
# measurement alone waits 30 s.
set -euo pipefail

src=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$src/build-bench}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
cmake --build "$build" -j2 >/dev/null

# shellcheck source=tools/test-services.sh
source "$src/tools/test-services.sh"
quill_services_start
export HOME="$HOME_FOR_TESTS" XDG_CONFIG_HOME="$HOME_FOR_TESTS/.config" \
    XDG_CACHE_HOME="$HOME_FOR_TESTS/.cache" XDG_DATA_HOME="$HOME_FOR_TESTS/.local/share"
QUILL_BENCH_PROGRAMS="$QUILL_SERVICES_DIR/programs/Quillmur"
export QUILL_BENCH_PROGRAMS
cmake --install "$build" --prefix "$QUILL_BENCH_PROGRAMS" >/dev/null

# A notification area for the tray programs.
trayer --edge top --align right --widthtype request --height 32 >/dev/null 2>&1 &
trayer_pid=$!
sleep 1

rows="$QUILL_SERVICES_DIR/rows"
: >"$rows"
run() {
    echo "running $*" >&2
    "$@" 2>"$QUILL_SERVICES_DIR/bench.log" | tr -d '\r' | grep -a $'^row\t' | cut -f2- >>"$rows" || true
}
cd "$build/bench"
run ./bench_scan --benchmark_min_time=0.5
run ./bench_gif --benchmark_min_time=0.2
run ./bench_savenote
run ./bench_startup
run ./bench_idle 30
run ./bench_monitor
run ./bench_cli 5 10000 50000
run ./bench_tasklist 5 50000
kill "$trayer_pid" 2>/dev/null || true

{
    printf 'path\tours\tfloor\tratio\tgoal\tmet?\n'
    cat "$rows"
} | awk -F'\t' '
    { for (i = 1; i <= NF; i++) { cell[NR, i] = $i; if (length($i) > w[i]) w[i] = length($i) } n = NR }
    END {
        for (r = 1; r <= n; r++) {
            line = "|"
            for (i = 1; i <= 6; i++) line = line sprintf(" %-" w[i] "s |", cell[r, i])
            print line
            if (r == 1) {
                line = "|"
                for (i = 1; i <= 6; i++) { d = ""; for (k = 0; k < w[i] + 2; k++) d = d "-"; line = line d "|" }
                print line
            }
        }
    }'
