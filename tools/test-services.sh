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
}

# The private X server, in $QUILL_SERVICES_DIR; exports DISPLAY once it
# answers.
quill_x_start() {
    # X server: Xvfb picks a free display itself and tells its number, so
    # runs started side by side never share one. Without -noreset it starts
    # over whenever its last client leaves, and turns away whoever connects
    # just then: the window manager, right after the readiness check below.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -br -nolisten tcp -noreset \
        3>"$QUILL_SERVICES_DIR/display" >"$QUILL_SERVICES_DIR/xvfb.log" 2>&1 &
    QUILL_XVFB_PID=$!
    for _ in $(seq 1 100); do
        [ -s "$QUILL_SERVICES_DIR/display" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(head -n 1 "$QUILL_SERVICES_DIR/display")"
    for _ in $(seq 1 100); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
    xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start" >&2; return 1; }
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
    eval "$exit_trap"
}

# Runs the rest of the tests against another sound server: the X server stays.
quill_services_switch_sound() {
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
    env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME HOME="$HOME_FOR_TESTS" \
        openbox --sm-disable >"$QUILL_SERVICES_DIR/openbox.log" 2>&1 &
    QUILL_WM_PID=$!
    for _ in $(seq 1 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    echo "the window manager did not start" >&2
    cat "$QUILL_SERVICES_DIR/openbox.log" >&2
    return 1
}

quill_window_manager_stop() {
    [ -z "${QUILL_WM_PID:-}" ] || kill "$QUILL_WM_PID" 2>/dev/null || true
    QUILL_WM_PID=
}

# Runs as the EXIT trap of strict scripts: nothing here may fail, or the
# run's own exit status would be replaced by that of a stray kill.
quill_services_stop() {
    quill_window_manager_stop
    [ -z "${QUILL_MIC_PID:-}" ] || kill "$QUILL_MIC_PID" 2>/dev/null || true
    quill_sound_stop
    [ -z "${QUILL_XVFB_PID:-}" ] || kill "$QUILL_XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    [ -z "${QUILL_SERVICES_DIR:-}" ] || rm -rf "$QUILL_SERVICES_DIR" || true
    QUILL_MIC_PID= QUILL_XVFB_PID= QUILL_SERVICES_DIR=
}
