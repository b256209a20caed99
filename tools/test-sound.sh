# Sourced by tools/test-services.sh: starts and stops the private sound server
# of a test run. Both kinds offer the same thing to the tests: a PulseAudio
# protocol socket at $PULSE_SERVER, a null sink "speakers" (default sink) and
# a source "mic" (default source) that says what is written to the FIFO given
# as $1, in real time.
#
#   quill_sound_start pulseaudio|pipewire FIFO
#   quill_sound_stop
#
# PipeWire is run the way a desktop runs it: its own D-Bus session bus, the
# pipewire daemon, the wireplumber session manager and pipewire-pulse. All
# their state lives in the run's private folder, so nothing of the user's own
# sound set-up is read or changed. ALSA programs reach either server through
# the PulseAudio plug-in, as on a desktop.

quill_sound_start() {
    local kind="$1" fifo="$2"
    QUILL_SOUND_KIND="$kind"
    export QUILL_SOUND_KIND
    export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
    local log="$QUILL_SERVICES_DIR/$kind.log"
    case "$kind" in
    pulseaudio)
        quill_spawn pulseaudio "$log" \
            pulseaudio -n --daemonize=no --exit-idle-time=-1 --system=false --disallow-exit \
            --log-target=stderr \
            -L "module-native-protocol-unix auth-anonymous=1 socket=$XDG_RUNTIME_DIR/pulse/native" \
            -L "module-null-sink sink_name=speakers sink_properties=device.description=Speakers" \
            -L "module-pipe-source source_name=mic file=$fifo format=s16le rate=22050 channels=1"
        QUILL_SOUND_PIDS=("$QUILL_SPAWNED")
        ;;
    pipewire)
        local state="$QUILL_SERVICES_DIR/pipewire-home"
        mkdir -p "$state"
        # The daemons keep their settings and remembered volumes under these.
        local env=(env HOME="$state" XDG_CONFIG_HOME="$state/config"
            XDG_STATE_HOME="$state/state" XDG_DATA_HOME="$state/data"
            DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus")
        quill_spawn dbus-daemon "$log" \
            dbus-daemon --session --nofork --nopidfile --address="unix:path=$XDG_RUNTIME_DIR/bus"
        QUILL_SOUND_PIDS=("$QUILL_SPAWNED")
        quill_wait 30 test -S "$XDG_RUNTIME_DIR/bus" || { echo "no session bus" >&2; return 1; }
        quill_spawn pipewire "$log" "${env[@]}" pipewire
        QUILL_SOUND_PIDS+=("$QUILL_SPAWNED")
        quill_wait 30 test -S "$XDG_RUNTIME_DIR/pipewire-0" || { echo "pipewire did not start" >&2; cat "$log" >&2; return 1; }
        quill_spawn wireplumber "$log" "${env[@]}" wireplumber
        QUILL_SOUND_PIDS+=("$QUILL_SPAWNED")
        quill_spawn pipewire-pulse "$log" "${env[@]}" pipewire-pulse
        QUILL_SOUND_PIDS+=("$QUILL_SPAWNED")
        ;;
    *)
        echo "unknown sound server: $kind" >&2
        return 1
        ;;
    esac
    quill_wait 60 quill_sound_answers || { echo "$kind did not start" >&2; cat "$log" >&2; return 1; }
    if [ "$kind" = pipewire ]; then
        # The microphone: a null sink that a player fills from the FIFO, seen
        # through a source of its own. PipeWire's pipe source is not used: it
        # stops reading its FIFO for seconds at a time now and then (it only
        # reads when the graph happens to schedule it), while a playback
        # stream into a null sink is paced by that sink's own timer.
        mkfifo "$fifo"
        pactl load-module module-null-sink sink_name=speakers \
            sink_properties=device.description=Speakers >/dev/null &&
            pactl load-module module-null-sink sink_name=mic-feed channels=1 rate=22050 \
                sink_properties=device.description=Microphone-feed >/dev/null &&
            pactl load-module module-remap-source source_name=mic master=mic-feed.monitor \
                channels=1 source_properties=device.description=Microphone >/dev/null ||
            { echo "pipewire-pulse refused the test devices" >&2; cat "$log" >&2; return 1; }
        QUILL_SPAWN_INPUT=$fifo quill_spawn pacat "$log" pacat --playback -d mic-feed --raw \
            --format=s16le --rate=22050 --channels=1 --latency-msec=50
        QUILL_SOUND_PIDS+=("$QUILL_SPAWNED")
        # The session manager makes a fallback sink of its own; wait until it
        # sees our devices, or setting the default below is forgotten.
        quill_wait 30 quill_sound_has_devices ||
            { echo "the session manager does not see the test devices" >&2; return 1; }
    fi
    [ -p "$fifo" ] || { echo "$kind made no microphone FIFO" >&2; return 1; }
    pactl set-default-sink speakers
    pactl set-default-source mic
    # The default is taken by the session manager a moment later under
    # PipeWire; the ALSA plug-in's "default" must already mean our devices.
    quill_wait 30 quill_sound_defaults_ours ||
        { echo "$kind: speakers and mic are not the defaults" >&2; pactl info >&2; return 1; }
}

quill_sound_answers() { pactl info >/dev/null 2>&1; }
quill_sound_has_devices() {
    pactl list short sinks | grep -q '[[:space:]]speakers[[:space:]]' &&
        pactl list short sources | grep -q '[[:space:]]mic[[:space:]]'
}
quill_sound_defaults_ours() {
    local info
    info=$(pactl info) && grep -q '^Default Sink: speakers$' <<<"$info" &&
        grep -q '^Default Source: mic$' <<<"$info"
}

quill_sound_stop() {
    local pid started=
    quill_service_unwatched "${QUILL_SOUND_PIDS[@]}"
    # Some may be gone already (the microphone's player leaves with its server):
    # that is no failure of the run.
    for pid in "${QUILL_SOUND_PIDS[@]}"; do
        started=1
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${QUILL_SOUND_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    QUILL_SOUND_PIDS=()
    # The sockets of a server started here only, never those of one this
    # shell merely inherited in XDG_RUNTIME_DIR.
    [ -z "$started" ] || [ -z "${XDG_RUNTIME_DIR:-}" ] ||
        rm -rf "$XDG_RUNTIME_DIR/pulse" "$XDG_RUNTIME_DIR/bus" "$XDG_RUNTIME_DIR"/pipewire-0*
}
