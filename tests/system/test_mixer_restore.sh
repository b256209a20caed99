#!/usr/bin/env bash
# Start-up applies the sound defaults to the sound server's mixer; the exit
# button, SIGTERM and the next start after a SIGKILL all put back what the
# first start found, a left/right balance included. A write of a level that
# another program changed meanwhile still reaches the server.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"
source "$QUILL_SOURCE_DIR/tests/system/reminder.sh"

# Both channels of a sink or source as "30 80".
volume() { pactl "get-$1-volume" "$2" | awk 'NR == 1 {n = 0; for (i = 1; i <= NF; i++) if ($i ~ /%$/) {sub("%", "", $i); printf "%s%s", (n++ ? " " : ""), $i}; print ""}'; }
mute() { pactl "get-$1-mute" "$2" | awk '{print $2}'; }
# Within one percent of the expected level on every channel.
near() { awk -v got="$1" -v want="$2" 'BEGIN { n = split(got, g, " "); if (split(want, w, " ") != n) exit 1
    for (i = 1; i <= n; i++) if (g[i] < w[i] - 1 || g[i] > w[i] + 1) exit 1 }'; }
user_levels_back() {
    near "$(volume sink @DEFAULT_SINK@)" "30 80" || fail "$1: speakers at $(volume sink @DEFAULT_SINK@) %"
    [ "$(mute sink @DEFAULT_SINK@)" = yes ] || fail "$1: speaker mute not put back"
    near "$(volume source @DEFAULT_SOURCE@)" 40 || fail "$1: microphone at $(volume source @DEFAULT_SOURCE@) %"
    [ "$(mute source @DEFAULT_SOURCE@)" = yes ] || fail "$1: microphone mute not put back"
}
start_quillmur() {
    start_program "$prefix/Quillmur"
    QUILL_PID=$LAST_PID
    local win
    win=$(wait_window '^Quillmur$') || fail "no window"
    wait_drawn "$win" || fail "the window was never drawn"
}
# Waits until the speakers (sink) or microphone (source) show a level or mute.
wait_volume() { is_volume() { [ "$(volume "$1" "$2")" = "$3" ]; }; wait_for 60 is_volume "$@"; }
wait_mute() { is_mute() { [ "$(mute "$1" "$2")" = "$3" ]; }; wait_for 60 is_mute "$@"; }

prefix=$(install_suite)
MAP=$("$QUILL_BUILD_DIR/tools/widgetmap" "$prefix" 2026-12-07 2>/dev/null) || fail "no widget map"

pactl set-sink-volume @DEFAULT_SINK@ 30% 80%
pactl set-sink-mute @DEFAULT_SINK@ 1
pactl set-source-volume @DEFAULT_SOURCE@ 40%
pactl set-source-mute @DEFAULT_SOURCE@ 1
start_quillmur
# The defaults are applied once the first frame is shown.
wait_volume sink @DEFAULT_SINK@ "50 50" || fail "speakers below half (left) are not set to 50 %"
wait_volume source @DEFAULT_SOURCE@ 100 || fail "microphone not at 100 %"
wait_mute source @DEFAULT_SOURCE@ no || fail "microphone still muted"
note "after start: speakers $(volume sink @DEFAULT_SINK@) %, microphone $(volume source @DEFAULT_SOURCE@) % muted $(mute source @DEFAULT_SOURCE@)"

note "the task list from the menu unmutes the speakers, also after another program muted them"
click GifCtl12 'picMeny#0'
click 'picMeny#0' lstFiles
wait_mute sink @DEFAULT_SINK@ no || fail "menu item 0 left the speakers muted"
pactl set-sink-mute @DEFAULT_SINK@ 1
click GifCtl12 'picMeny#0'
click 'picMeny#0' lstFiles
wait_mute sink @DEFAULT_SINK@ no || fail "the unmute was dropped after another program muted the speakers"

note "SIGTERM: the user's levels back at once"
kill -TERM "$QUILL_PID"
wait_gone "$QUILL_PID" 30 || fail "SIGTERM did not end the program"
user_levels_back "after SIGTERM"
[ ! -e "$XDG_RUNTIME_DIR/Quillmur.sound" ] || fail "levels file left after an orderly end"

note "SIGKILL, then a normal start and exit"
start_quillmur
wait_volume sink @DEFAULT_SINK@ "50 50" || fail "the defaults were not applied"
kill -KILL "$QUILL_PID"
wait "$QUILL_PID" 2>/dev/null || true
start_quillmur
wait_volume sink @DEFAULT_SINK@ "50 50" || fail "second start did not apply the defaults"
click GifCtl10
wait_gone "$QUILL_PID" 60 || fail "the exit button did not end the program"
note "after exit: speakers $(volume sink @DEFAULT_SINK@) %, microphone $(volume source @DEFAULT_SOURCE@) % muted $(mute source @DEFAULT_SOURCE@)"
user_levels_back "after a kill and the next run"

note "a confirmed task mutes the speakers; the exit unmutes them again"
pactl set-sink-mute @DEFAULT_SINK@ 0
pactl set-source-mute @DEFAULT_SOURCE@ 0
start_quillmur_at_known_time "$prefix"
open_recording_panel 45 15 24
wait_mute sink @DEFAULT_SINK@ yes || fail "the recording panel left the speakers on"
click GifCtl10
wait_gone "$QUILL_PID" 60 || fail "the exit button did not end the program"
near "$(volume sink @DEFAULT_SINK@)" "30 80" || fail "after a task: speakers at $(volume sink @DEFAULT_SINK@) %"
[ "$(mute sink @DEFAULT_SINK@)" = no ] || fail "after a task: the speakers stay muted"
[ "$(mute source @DEFAULT_SOURCE@)" = no ] || fail "after a task: the microphone is muted"
echo "mixer restore: ok"
