# shellcheck source=tools/test-sound.sh
source "$(dirname "${BASH_SOURCE[0]}")/test-sound.sh"

# Sourced by the test command (and usable by hand): starts a private X server
# with a window manager and a private PulseAudio with a null sink as speakers
# and a microphone fed from a FIFO, exports what the tests need, and stops
# them all on exit.
#
#   QUILL_SERVICES_DIR  private folder of this run (runtime dir, FIFO, logs)
#   DISPLAY             the private Xvfb
#   PULSE_SERVER        the private PulseAudio
#   QUILL_MIC_QUEUE     move a raw s16le mono 22050 Hz file (even size) here
#                       as *.raw and the microphone says it once, in about
#                       real time; otherwise it hears silence

quill_services_start() {
    QUILL_SERVICES_DIR=$(mktemp -d /tmp/quill-services.XXXXXX)
    export QUILL_SERVICES_DIR
    : >"$QUILL_SERVICES_DIR/services"
    touch "$QUILL_SERVICES_DIR/services.started"
    export XDG_RUNTIME_DIR="$QUILL_SERVICES_DIR/run"
    mkdir -m 0700 -p "$XDG_RUNTIME_DIR"
    export HOME_FOR_TESTS="$QUILL_SERVICES_DIR/home"
    mkdir -p "$HOME_FOR_TESTS"
    # Also when a service below does not start: nothing is left running.
    trap quill_services_stop EXIT

    quill_x_start || return 1
    quill_window_manager_start || return 1

    # Sound server (PulseAudio unless QUILL_SOUND_KIND says pipewire) with a
    # microphone that speaks what is queued.
    export QUILL_MIC_QUEUE="$QUILL_SERVICES_DIR/mic-queue"
    mkdir -p "$QUILL_MIC_QUEUE"
    quill_sound_start "${QUILL_SOUND_KIND:-pulseaudio}" "$QUILL_SERVICES_DIR/mic.fifo" || return 1
    quill_mic_start
    quill_services_watch
}

# Polls until a command succeeds, for at most the given seconds.
#   quill_wait SECONDS COMMAND [ARGS...]
quill_wait() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1
    done
}

# Starts a service of the run in the background, in a folder of its own where
# a core file is kept should it crash, and has the watch look after it; its
# pid is left in QUILL_SPAWNED. Output is appended to LOG; QUILL_SPAWN_INPUT
# names a file (a FIFO) for its standard input, opened by the service itself.
#   quill_spawn NAME LOG COMMAND [ARGS...]   (NAME: the program that runs)
quill_spawn() {
    local name=$1 log=$2 input=${QUILL_SPAWN_INPUT:-/dev/null}
    shift 2
    local dir="$QUILL_SERVICES_DIR/cores/$name"
    mkdir -p "$dir"
    (
        cd "$dir" || exit 1
        ulimit -c unlimited 2>/dev/null || true
        exec "$@" <"$input"
    ) >>"$log" 2>&1 &
    QUILL_SPAWNED=$!
    quill_service_watched "$QUILL_SPAWNED" "$name" "$log"
}

# Adds a running process to the services the watch looks after.
quill_service_watched() {
    echo "$1 $2 $3" >>"$QUILL_SERVICES_DIR/services"
}

# Takes processes out of the watch before they are stopped on purpose.
quill_service_unwatched() {
    local pid list="$QUILL_SERVICES_DIR/services"
    [ -f "$list" ] || return 0
    for pid in "$@"; do
        awk -v p="$pid" '$1 != p' "$list" >"$list.new" && mv "$list.new" "$list"
    done
    return 0
}

# The watch: a service that dies while the tests run is written to
# $QUILL_SERVICES_DIR/down (pid and name), once. The tests that follow see
# that file and skip themselves instead of failing one after another on a
# missing server; quill_services_report tells what happened.
quill_services_watch() {
    local exit_trap
    exit_trap=$(trap -p EXIT)
    trap - EXIT
    (
        set +euo pipefail
        dir=$QUILL_SERVICES_DIR
        while [ -d "$dir" ]; do
            while read -r pid name _; do
                state=$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)
                # Where a crash would leave its core file: daemons change
                # to a folder of their own choice (PulseAudio to /).
                [ -z "$state" ] || [ "$state" = Z ] || [ -e "$dir/cwd.$pid" ] ||
                    readlink "/proc/$pid/cwd" >"$dir/cwd.$pid"
                if [ -z "$state" ] || [ "$state" = Z ]; then
                    # Stopped on purpose meanwhile: no longer in the list.
                    grep -q "^$pid " "$dir/services" 2>/dev/null || continue
                    grep -q "^$pid " "$dir/down" 2>/dev/null || echo "$pid $name" >>"$dir/down"
                fi
            done <"$dir/services"
            sleep 0.5 # a poll of /proc, not a wait for the tests
        done
    ) 2>/dev/null &
    QUILL_WATCH_PID=$!
    eval "$exit_trap"
}

# Tells which services of the run died, how, and where (the end of its log
# and, when the system kept a core file, a backtrace). Fails when one did.
quill_services_report() {
    local down="$QUILL_SERVICES_DIR/down" pid name log rc core exe
    [ -s "$down" ] || return 0
    while read -r pid name; do
        rc=0
        wait "$pid" 2>/dev/null || rc=$?
        if [ "$rc" -gt 128 ]; then
            rc="signal $((rc - 128)) (SIG$(kill -l $((rc - 128)) 2>/dev/null))"
        else
            rc="exit status $rc"
        fi
        echo "== SERVICE FAILURE: $name (pid $pid) of the test run died: $rc."
        echo "   The tests that needed it afterwards were skipped; this is not a test's failure."
        log=$(awk -v p="$pid" '$1 == p {print $3}' "$QUILL_SERVICES_DIR/services")
        [ -n "$log" ] && [ -s "$log" ] && { echo "-- end of $log:"; tail -n 30 "$log"; }
        # With a plain core pattern the kernel writes "core" (or core.PID)
        # into the folder the service was in.
        local folder candidate
        core=
        for folder in "$(cat "$QUILL_SERVICES_DIR/cwd.$pid" 2>/dev/null)" "$QUILL_SERVICES_DIR/cores/$name"; do
            for candidate in "$folder/core.$pid" "$folder/core"; do
                [ -f "$candidate" ] && [ "$candidate" -nt "$QUILL_SERVICES_DIR/services.started" ] &&
                    { core=$candidate; break 2; }
            done
        done
        exe=$(command -v "$name" || true)
        if [ -n "$core" ] && [ -n "$exe" ] && command -v gdb >/dev/null; then
            echo "-- backtrace of $name from $core:"
            gdb -batch -nx -ex 'set pagination off' -ex 'thread apply all bt 30' "$exe" "$core" 2>&1 |
                grep -v '^\[New LWP\|^warning: ' | head -n 200
            mkdir -p "${QUILL_CORES_KEPT:-/tmp/quill-cores}"
            mv "$core" "${QUILL_CORES_KEPT:-/tmp/quill-cores}/$name.$pid.core" 2>/dev/null &&
                echo "-- core kept as ${QUILL_CORES_KEPT:-/tmp/quill-cores}/$name.$pid.core"
        else
            echo "-- no core file (core pattern: $(cat /proc/sys/kernel/core_pattern 2>/dev/null))"
        fi
        quill_service_unwatched "$pid"
    done <"$down"
    # Told once: a later pass (on another sound server) starts afresh.
    mv "$down" "$down.told"
    return 1
}

# The private X server, in $QUILL_SERVICES_DIR; exports DISPLAY once it
# answers.
quill_x_start() {
    # X server: Xvfb picks a free display itself and tells its number, so
    # runs started side by side never share one. Without -noreset it starts
    # over whenever its last client leaves, and turns away whoever connects
    # just then: the window manager, right after the readiness check below.
    quill_spawn Xvfb "$QUILL_SERVICES_DIR/xvfb.log" \
        Xvfb -displayfd 3 -screen 0 1280x1024x24 -br -nolisten tcp -noreset \
        3>"$QUILL_SERVICES_DIR/display"
    QUILL_XVFB_PID=$QUILL_SPAWNED
    quill_wait 60 test -s "$QUILL_SERVICES_DIR/display" || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$(head -n 1 "$QUILL_SERVICES_DIR/display")"
    quill_wait 60 xdpyinfo_quiet || { echo "Xvfb did not start" >&2; return 1; }
}

# The microphone only delivers while its FIFO has a writer: keep one attached
# for as long as the sound server runs, speaking queued files, else silence.
quill_mic_start() {
    local fifo="$QUILL_SERVICES_DIR/mic.fifo"
    # The run's EXIT trap stops every service: a feeder killed before it has
    # let go of its copy (the sound server changed just after the start)
    # would run it. It is started without one.
    local exit_trap
    exit_trap=$(trap -p EXIT)
    trap - EXIT
    (
        set +euo pipefail # sourced from strict scripts; this loop must never stop
        exec >"$fifo"
        # Paced by the clock in 0.1 s chunks (4410 bytes). PulseAudio's pipe
        # source takes whatever it is given at once, PipeWire's player reads
        # at the sink's pace: a feeder even slightly faster than real time would
        # fill the FIFO with up to 1.5 s of silence ahead of the next speech.
        next=${EPOCHREALTIME//[.,]/}
        pace() {
            next=$((next + 100000))
            local now=${EPOCHREALTIME//[.,]/}
            local wait=$((next - now))
            if [ "$wait" -gt 0 ]; then
                sleep "$(printf '%d.%06d' $((wait / 1000000)) $((wait % 1000000)))"
            elif [ "$wait" -lt -500000 ]; then
                next=$now # far behind (a loaded machine): no burst to catch up
            fi
        }
        while :; do
            f=$(ls "$QUILL_MIC_QUEUE"/*.raw 2>/dev/null | head -n 1)
            if [ -n "$f" ]; then
                size=$(stat -c %s "$f")
                for ((i = 0; i * 4410 < size; i++)); do
                    dd if="$f" bs=4410 skip=$i count=1 status=none
                    pace
                done
                rm -f "$f"
            else
                head -c 4410 /dev/zero
                pace
            fi
        done
    ) 2>/dev/null &
    QUILL_MIC_PID=$!
    quill_service_watched "$QUILL_MIC_PID" microphone-feeder -
    eval "$exit_trap"
}

# Runs the rest of the tests against another sound server: the X server stays.
quill_services_switch_sound() {
    quill_service_unwatched "${QUILL_MIC_PID:-}"
    [ -z "${QUILL_MIC_PID:-}" ] || kill "$QUILL_MIC_PID" 2>/dev/null || true
    quill_sound_stop
    rm -f "$QUILL_SERVICES_DIR/mic.fifo" "$QUILL_MIC_QUEUE"/*.raw
    quill_sound_start "$1" "$QUILL_SERVICES_DIR/mic.fifo" || return 1
    quill_mic_start
}

# A real, small window manager on the private X server: system moves,
# stacking, "keep above" and menus on release only exist with one. Its own
# files go to the private home, never to the user's.
quill_window_manager_start() {
    quill_spawn openbox "$QUILL_SERVICES_DIR/openbox.log" \
        env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME HOME="$HOME_FOR_TESTS" \
        openbox --sm-disable
    QUILL_WM_PID=$QUILL_SPAWNED
    quill_wait 60 quill_wm_running && return 0
    echo "the window manager did not start" >&2
    cat "$QUILL_SERVICES_DIR/openbox.log" >&2
    return 1
}

quill_wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
xdpyinfo_quiet() { xdpyinfo >/dev/null 2>&1; }

quill_window_manager_stop() {
    quill_service_unwatched "${QUILL_WM_PID:-}"
    [ -z "${QUILL_WM_PID:-}" ] || kill "$QUILL_WM_PID" 2>/dev/null || true
    QUILL_WM_PID=
}

# Runs as the EXIT trap of strict scripts: nothing here may fail, or the
# run's own exit status would be replaced by that of a stray kill.
quill_services_stop() {
    # Only our own: the caller may have other children running (the busy
    # run's load), and a bare `wait` would wait for them too.
    local pid ours=("${QUILL_WATCH_PID:-}" "${QUILL_WM_PID:-}" "${QUILL_MIC_PID:-}" "${QUILL_XVFB_PID:-}")
    [ -z "${QUILL_WATCH_PID:-}" ] || kill "$QUILL_WATCH_PID" 2>/dev/null || true
    QUILL_WATCH_PID=
    quill_window_manager_stop
    [ -z "${QUILL_MIC_PID:-}" ] || kill "$QUILL_MIC_PID" 2>/dev/null || true
    quill_sound_stop
    [ -z "${QUILL_XVFB_PID:-}" ] || kill "$QUILL_XVFB_PID" 2>/dev/null || true
    for pid in "${ours[@]}"; do
        [ -z "$pid" ] || wait "$pid" 2>/dev/null || true
    done
    [ -z "${QUILL_SERVICES_DIR:-}" ] || rm -rf "$QUILL_SERVICES_DIR" || true
    QUILL_MIC_PID= QUILL_XVFB_PID= QUILL_SERVICES_DIR=
}
