#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer,
# starts a private X server and sound server, and runs every test.
#
#   test-all.sh [--load] [CTEST ARGS...]
#
# --load (or QUILL_TEST_LOAD=1) keeps both processors busy with an unrelated
# load for the whole run, as on a user's or a CI machine doing other work.
# The tests know nothing of it; they must pass all the same.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${QUILL_TEST_BUILD:-$root/build-test}"
load="${QUILL_TEST_LOAD:-}"
if [ "${1:-}" = --load ]; then
    load=1
    shift
fi

"$root/tools/setup-deps.sh" --test

load_pid=
if [ -n "$load" ]; then
    # At normal priority, one worker per processor, for as long as we run.
    stress-ng --cpu "$(nproc)" --cpu-method matrixprod --quiet >/dev/null 2>&1 &
    load_pid=$!
    echo "== Busy machine: stress-ng keeps $(nproc) processors busy (pid $load_pid)"
fi
stop_load() {
    [ -z "$load_pid" ] || { kill "$load_pid" 2>/dev/null; wait "$load_pid" 2>/dev/null; } || true
    load_pid=
}
trap stop_load EXIT

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
    -DQUILL_SANITIZE=ON -DQUILL_FUZZ=ON >/dev/null
cmake --build "$build" -j"$(nproc)"

# shellcheck source=tools/test-services.sh
source "$root/tools/test-services.sh"
quill_services_start
trap 'stop_load; quill_services_stop' EXIT

export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
# No second runs: a test that fails once has found a fault.
ctest --test-dir "$build" --output-on-failure -j2 --timeout 600 "$@" || status=$?
# A service that died is a failure of the run, told as such.
quill_services_report || status=1

# The system tests that depend on the sound server once more, on PipeWire's
# PulseAudio-compatible server, as most current desktops run it. Skipped when
# the caller picked other tests.
if [ $# -eq 0 ]; then
    echo "== Sound system tests again, on PipeWire"
    quill_services_switch_sound pipewire
    pactl info | grep '^Server Name'
    ctest --test-dir "$build" --output-on-failure --timeout 600 -L sound ||
        status=$?
    quill_services_report || status=1
fi
stop_load
quill_services_stop
trap - EXIT
echo "== test command: exit status $status"
exit $status
