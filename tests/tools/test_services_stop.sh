#!/usr/bin/env bash
# The test command's services.
# - They are stopped by an EXIT trap in a strict script: stopping must keep
#   the run's own exit status, even when a service it stops has already gone
#   (the microphone's player leaves with its server).
# - The X server must not start over when its last client leaves: whoever
#   connects just then (the window manager, right after the check that the
#   server answers) is turned away. A root window property outlives the
#   client that set it only on a server that did not start over.
# - Switching the sound server stops the microphone's feeder, a subshell of
#   the strict script: killed at once after its start, it must not run the
#   script's EXIT trap and stop everything else.
# - A service that dies while the tests run is told as a failure of the run
#   (its name, its signal, a backtrace where a core file is kept), and the
#   system tests after it skip themselves instead of failing one by one.
#   test_services_stop.sh SOURCE_DIR
set -uo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }

# Runs SCRIPT in a strict shell with the services' helpers, a runtime folder
# of its own (never the test command's, whose sound server is running) and
# their stop as its EXIT trap; further arguments become $1, $2, ...
with_services() {
    local script=$1
    shift
    bash -c '
        set -euo pipefail
        source "$0/tools/test-services.sh"
        XDG_RUNTIME_DIR=$(mktemp -d)
        QUILL_SERVICES_DIR=$XDG_RUNTIME_DIR
        trap quill_services_stop EXIT
        eval "$1"' "$src" "$script" "$@"
}
src=$1

for want in 0 3; do
    got=$(
        with_services '
            sleep 0 & gone=$!
            wait "$gone"
            QUILL_SOUND_PIDS=("$gone")
            QUILL_MIC_PID=$gone QUILL_WM_PID=$gone QUILL_XVFB_PID=$gone
            exit "$2"' "$want" >/dev/null 2>&1
        echo $?
    )
    [ "$got" = "$want" ] || fail "a run ending with $want reported $got once its services were stopped"
done
kept=$(
    with_services '
        quill_x_start
        xprop -root -f QUILL_PROBE 8s -set QUILL_PROBE kept
        sleep 0.5 # time for a reset to happen: it must not
        xprop -root QUILL_PROBE' 2>&1
)
[[ "$kept" == *'"kept"'* ]] || fail "the X server started over when its last client left: $kept"
left=$(
    with_services '
        export QUILL_MIC_QUEUE=$QUILL_SERVICES_DIR/mic-queue
        mkdir -p "$QUILL_MIC_QUEUE"
        quill_mic_start
        kill "$QUILL_MIC_PID"
        wait "$QUILL_MIC_PID" || true
        [ -d "$QUILL_MIC_QUEUE" ] && echo kept || echo wiped' 2>&1
)
[ "$left" = kept ] || fail "stopping the microphone stopped the other services: $left"
# Stopping waits for the services only, not for whatever else the caller
# runs meanwhile (the busy run's load).
stopped=$(
    export -f with_services
    src=$src timeout 120 bash -c 'with_services "
        sleep 600 & other=\$!
        quill_services_stop
        echo stopped
        kill \$other"' 2>&1
)
[ "$stopped" = stopped ] || fail "stopping the services waited for another child of the run: $stopped"
told=$(
    with_services '
        : >"$QUILL_SERVICES_DIR/services"
        touch "$QUILL_SERVICES_DIR/services.started"
        quill_services_watch
        quill_spawn sleep "$QUILL_SERVICES_DIR/sleep.log" sleep 600
        is_sleep() { [ "$(readlink "/proc/$QUILL_SPAWNED/exe")" = "$(command -v sleep)" ]; }
        quill_wait 60 is_sleep # running, not still being started
        kill -SEGV "$QUILL_SPAWNED"
        quill_wait 60 test -s "$QUILL_SERVICES_DIR/down"
        rc=0
        QUILL_SERVICES_DIR=$QUILL_SERVICES_DIR QUILL_BUILD_DIR=- QUILL_SOURCE_DIR=- DISPLAY=- \
            bash "$0/tests/system/lib.sh" >/dev/null || rc=$?
        echo "a system test then exits $rc"
        QUILL_CORES_KEPT=$QUILL_SERVICES_DIR/kept quill_services_report || echo "the run fails"' 2>&1
)
[[ "$told" == *"SERVICE FAILURE: sleep (pid "*") of the test run died: signal 11 (SIGSEGV)"* ]] ||
    fail "a crashed service is not told: $told"
[[ "$told" == *"a system test then exits 77"* ]] || fail "the tests after it do not skip: $told"
[[ "$told" == *"the run fails"* ]] || fail "the run does not fail: $told"
# A core file is kept where the system writes it into the crashed program's folder.
if [[ "$(cat /proc/sys/kernel/core_pattern)" != '|'* ]]; then
    [[ "$told" == *"backtrace of sleep from "*"#0 "* ]] || fail "no backtrace: $told"
fi
echo "services: ok"
