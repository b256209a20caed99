#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer,
# starts a private X server and sound server, and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${QUILL_TEST_BUILD:-$root/build-test}"

"$root/tools/setup-deps.sh" --test
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
    -DQUILL_SANITIZE=ON -DQUILL_FUZZ=ON >/dev/null
cmake --build "$build" -j"$(nproc)"

# shellcheck source=tools/test-services.sh
source "$root/tools/test-services.sh"
quill_services_start

export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
# No second runs: a test that fails once has found a fault.
ctest --test-dir "$build" --output-on-failure -j2 --timeout 600 "$@" || status=$?

# The system tests that depend on the sound server once more, on PipeWire's
# PulseAudio-compatible server, as most current desktops run it. Skipped when
# the caller picked other tests.
if [ $# -eq 0 ]; then
    echo "== Sound system tests again, on PipeWire"
    quill_services_switch_sound pipewire
    pactl info | grep '^Server Name'
    ctest --test-dir "$build" --output-on-failure --timeout 600 -L sound ||
        status=$?
fi
quill_services_stop
trap - EXIT
echo "== test command: exit status $status"
exit $status
