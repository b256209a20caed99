# Helpers for the system tests. Sourced by each test script, which ctest runs
# with QUILL_BUILD_DIR and QUILL_SOURCE_DIR set, under the private X server
# ($DISPLAY) and sound server ($PULSE_SERVER) of the test command.
set -euo pipefail

: "${QUILL_BUILD_DIR:?}" "${QUILL_SOURCE_DIR:?}" "${DISPLAY:?system tests need the X server of the test command}"

# A service of the test run died before this test (the test command's
# watch says so and reports it): skip rather than fail on its absence.
if [ -n "${QUILL_SERVICES_DIR:-}" ] && [ -s "$QUILL_SERVICES_DIR/down" ]; then
    echo "skipped: a service of the test run is gone: $(cat "$QUILL_SERVICES_DIR/down")"
    exit 77
fi

# Every test gets its own home, runtime folder and work folder, so locks,
# caches and autostart entries of one test never meet another's.
QT_WORK=$(mktemp -d /tmp/quill-systest.XXXXXX)
export HOME="$QT_WORK/home"
export XDG_RUNTIME_DIR="$QT_WORK/run"
export XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache" XDG_DATA_HOME="$HOME/.local/share"
mkdir -p "$HOME" && mkdir -m 0700 -p "$XDG_RUNTIME_DIR"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
unset QT_QPA_PLATFORM
QT_PIDS=()

cleanup() {
    local pid
    for pid in "${QT_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${QT_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    # The sound server is shared by all tests: leave it at full, unmuted levels.
    if [ -n "${PULSE_SERVER:-}" ]; then
        pactl set-sink-volume @DEFAULT_SINK@ 100% 2>/dev/null || true
        pactl set-sink-mute @DEFAULT_SINK@ 0 2>/dev/null || true
        pactl set-source-volume @DEFAULT_SOURCE@ 100% 2>/dev/null || true
        pactl set-source-mute @DEFAULT_SOURCE@ 0 2>/dev/null || true
    fi
    rm -rf "$QT_WORK"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    # What the programs said helps to see why.
    local log
    for log in "$QT_WORK"/*.log; do
        [ -s "$log" ] && { echo "--- $(basename "$log"):" >&2; tail -n 40 "$log" >&2; }
    done
    exit 1
}
note() { echo "-- $*"; }

# Installs the built suite into a fresh program folder; prints its path.
install_suite() {
    local prefix="${1:-$QT_WORK/Quillmur}"
    cmake --install "$QUILL_BUILD_DIR" --prefix "$prefix" >/dev/null
    echo "$prefix"
}

# Starts a program in the background from its own folder; remembers its pid
# in LAST_PID. Output goes to $QT_WORK/<name>.log.
start_program() {
    local exe="$1"; shift
    local name; name=$(basename "$exe")
    (cd "$(dirname "$exe")" && exec "$exe" "$@") >"$QT_WORK/$name.log" 2>&1 &
    LAST_PID=$!
    QT_PIDS+=("$LAST_PID")
}

# Waits until a window whose title matches the regular expression is mapped;
# prints its id. Optional second argument: seconds (default 60).
wait_window() {
    local pattern="$1" secs="${2:-60}" id
    for _ in $(seq 1 $((secs * 10))); do
        id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Waits until a command succeeds, polling ten times a second; fails after
# the given seconds. Deadlines are generous: they only bound a hung test,
# a loaded machine is slow but never waited for by a fixed time.
#   wait_for SECONDS COMMAND [ARGS...]
wait_for() {
    local secs="$1"; shift
    local end=$((SECONDS + secs))
    while :; do
        "$@" && return 0
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1
    done
}

# Counts visible windows whose title matches.
count_windows() {
    xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l
}

# Waits until a process has ended; fails after the given seconds.
wait_gone() {
    local pid="$1" secs="${2:-10}"
    for _ in $(seq 1 $((secs * 10))); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    return 1
}

# Saves a screenshot of the whole screen; prints the path.
screenshot() {
    local out="$QT_WORK/${1:-screen}.png"
    import -window root "$out"
    [ -n "${QUILL_SCREENSHOT_DIR:-}" ] && cp "$out" "$QUILL_SCREENSHOT_DIR/"
    echo "$out"
}

# The colour of one pixel of a picture as "r,g,b" (0..255).
pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# Window geometry: sets WX, WY, WW, WH from xwininfo.
window_geometry() {
    local info; info=$(xwininfo -id "$1")
    WX=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
    WY=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
    WW=$(awk '/Width:/ {print $NF}' <<<"$info")
    WH=$(awk '/Height:/ {print $NF}' <<<"$info")
}

# Types text into the focused window as a Russian user does, on the Russian
# layout: xdotool then finds every letter on the keyboard instead of mapping
# a spare key for each one, which drops letters on a loaded machine.
type_text() {
    setxkbmap -layout ru
    xdotool type --delay 80 "$1"
    setxkbmap -layout us
}

# Makes the microphone say a Russian text once (espeak-ng through the queue
# of the test command's microphone).
mic_say() {
    local raw="$QT_WORK/say.$$.$RANDOM.raw"
    espeak-ng -v ru --stdout "$1" | sox -t wav - -t raw -r 22050 -e signed -b 16 -c 1 "$raw"
    mv "$raw" "$QUILL_MIC_QUEUE/"
}

# Whether the speakers' monitor recording holds at least $1 bytes.
monitor_has() { [ "$(stat -c %s "$QT_WORK/monitor.raw" 2>/dev/null || echo 0)" -ge "$1" ]; }

# Keeps a recording of the speakers' monitor running from now on, so that
# speakers_peak measures what was played rather than how soon a new recording
# stream gets going: under PipeWire a fresh one may be handed seconds of
# silence first, and on a loaded machine any may start late.
monitor_start() {
    parec -d speakers.monitor --latency-msec=20 --raw --format=s16le --rate=22050 --channels=1 \
        >"$QT_WORK/monitor.raw" 2>/dev/null &
    MONITOR_PID=$!
    QT_PIDS+=("$MONITOR_PID")
    # Running once a second of samples has come: past the first silence a
    # new stream may be given, and paced by the server from then on.
    wait_for 30 monitor_has $((22050 * 2)) || fail "the speakers' monitor records nothing"
}

# The loudest sample (0..1) heard on the speakers' monitor during the given
# seconds of sound (counted in samples). Uses the running monitor recording
# when monitor_start was called, else a recording of its own.
speakers_peak() {
    local bytes=$(($1 * 22050 * 2))
    if [ -n "${MONITOR_PID:-}" ]; then
        local from; from=$(stat -c %s "$QT_WORK/monitor.raw")
        from=$((from - from % 2))
        wait_for $(($1 + 30)) monitor_has $((from + bytes)) || fail "the speakers' monitor stalled"
        dd if="$QT_WORK/monitor.raw" iflag=skip_bytes,count_bytes bs=64k skip="$from" \
            count="$bytes" status=none
    else
        { timeout $(($1 + 10)) parec -d speakers.monitor --latency-msec=20 --raw --format=s16le --rate=22050 --channels=1 || true; } |
            head -c "$bytes"
    fi | sox -t raw -r 22050 -e signed -b 16 -c 1 - -n stat 2>&1 | awk '/Maximum amplitude/ {print $3}'
}

# The loudest sample (0..1) of raw s16le mono 22050 Hz FILE from byte FROM,
# COUNT bytes long.
raw_peak() {
    dd if="$1" iflag=skip_bytes,count_bytes bs=64k skip="$2" count="$3" status=none |
        sox -t raw -r 22050 -e signed -b 16 -c 1 - -n stat 2>&1 | awk '/Maximum amplitude/ {print $3}'
}
# The size of a growing raw recording, in whole samples.
raw_size() {
    local n; n=$(stat -c %s "$1")
    echo $((n - n % 2))
}

# Waits until the recording FILE holds, after byte FROM, a sound louder than
# LEVEL; fails after SECS seconds. Sets RAW_AT to where the sound was found.
#   raw_wait_loud FILE FROM LEVEL SECS
raw_wait_loud() {
    local file=$1 from=$2 level=$3 end=$((SECONDS + $4)) now
    while [ "$SECONDS" -lt "$end" ]; do
        now=$(raw_size "$file")
        if [ "$now" -gt "$from" ] &&
            awk -v p="$(raw_peak "$file" "$from" $((now - from)))" -v l="$level" 'BEGIN {exit !(p > l)}'; then
            RAW_AT=$now
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# Waits until the last SPAN seconds of sound in FILE after byte FROM stayed
# below LEVEL; fails after SECS seconds. Counted in samples, so a slow
# machine only takes longer.
#   raw_wait_quiet FILE FROM SPAN LEVEL SECS
raw_wait_quiet() {
    local file=$1 from=$2 span=$(($3 * 22050 * 2)) level=$4 end=$((SECONDS + $5)) now
    while [ "$SECONDS" -lt "$end" ]; do
        now=$(raw_size "$file")
        if [ $((now - from)) -ge "$span" ] &&
            awk -v p="$(raw_peak "$file" $((now - span)) "$span")" -v l="$level" 'BEGIN {exit !(p < l)}'; then
            RAW_AT=$now
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# Waits until the speakers play louder than $1 (0..1), heard on the running
# monitor from now on; fails after $2 seconds. Needs monitor_start.
speakers_wait_loud() {
    raw_wait_loud "$QT_WORK/monitor.raw" "$(raw_size "$QT_WORK/monitor.raw")" "$1" "$2"
}

# Keeps a recording of the microphone (the default source, as the programs
# hear it) running from now on; mic_say_heard listens to it.
mic_listen_start() {
    [ -z "${MIC_LISTEN_PID:-}" ] || return 0
    parec -d @DEFAULT_SOURCE@ --latency-msec=20 --raw --format=s16le --rate=22050 --channels=1 \
        >"$QT_WORK/mic.raw" 2>/dev/null &
    MIC_LISTEN_PID=$!
    QT_PIDS+=("$MIC_LISTEN_PID")
    mic_has() { [ "$(stat -c %s "$QT_WORK/mic.raw" 2>/dev/null || echo 0)" -ge "$1" ]; }
    wait_for 30 mic_has 4410 || fail "the microphone cannot be listened to"
}

# Says a text into the microphone and returns once the microphone has said
# it and then been quiet for a second: everything said has reached whoever
# records. Needs mic_listen_start.
mic_say_heard() {
    local from
    from=$(raw_size "$QT_WORK/mic.raw")
    mic_say "$1"
    raw_wait_loud "$QT_WORK/mic.raw" "$from" 0.05 60 || fail "the microphone did not say '$1'"
    raw_wait_quiet "$QT_WORK/mic.raw" "$RAW_AT" 1 0.01 60 || fail "the microphone did not fall quiet after '$1'"
}
