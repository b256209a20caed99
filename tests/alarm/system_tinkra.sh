#!/usr/bin/env bash
# Tinkra against the private sound server and window manager: full volume
# and unmuted while the alarm sounds on the speakers, the bar kept above
# other windows, the user's 30 % and mute back afterwards (also after SIGTERM,
# and with a left/right balance), a player killed half-way repaired by the
# next one, and a missing alarm recording reported without stopping the
# clean-up.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"

: "${PULSE_SERVER:?system tests need the sound server of the test command}"
pf=$(install_suite)
tinkra="$pf/Data/Tinkra"

volume() { pactl get-sink-volume speakers | awk 'NR == 1 {print $5}'; }
# Both channels, as "20% 80%".
balance() { pactl get-sink-volume speakers | awk 'NR == 1 {print $5, $12}'; }
muted() { pactl get-sink-mute speakers | awk '{print $2}'; }
# Peak level (0..1) on the speakers over the given seconds of sound. Counted
# in samples, not from the start of parec: on a loaded machine its stream can
# take a second or more to run, and a timed capture then hears nothing.
peak() {
    local raw="$QT_WORK/monitor.raw"
    { timeout $(($1 + 10)) parec -d speakers.monitor --latency-msec=20 --raw --format=s16le --rate=22050 --channels=1 || true; } |
        head -c $(($1 * 22050 * 2)) >"$raw"
    [ -s "$raw" ] || { echo 0; return; }
    sox -t raw -r 22050 -e signed -b 16 -c 1 "$raw" -n stat 2>&1 | awk '/^Maximum amplitude/ {print $3}'
}
louder() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
# Waits until the speakers show the given volume and mute.
wait_mixer() {
    for _ in $(seq 1 100); do
        [ "$(volume)" = "$1" ] && [ "$(muted)" = "$2" ] && return 0
        sleep 0.1
    done
    return 1
}

pactl set-sink-volume speakers 30%
pactl set-sink-mute speakers 1

note "during the alert: 100 %, unmuted, the alarm on the speakers, the bar"
start_program "$tinkra" -minimized
pid=$LAST_PID
wait_mixer 100% no || fail "speakers at $(volume), muted $(muted) during the alert"
bar=$(wait_window '^   Есть напоминание$' 10) || fail "no alarm bar"
xprop -id "$bar" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "the bar does not ask to be kept above"
window_geometry "$bar"
[ "$WW" = 263 ] && [ "$WH" = 40 ] || fail "bar is ${WW}x${WH}"
[ "$WX" = 0 ] || fail "bar not at the left edge: x=$WX"
screen_h=$(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[2]}')
[ $((WY + WH)) -eq "$screen_h" ] || fail "bar not at the bottom: y=$WY"
# Mapped is not yet painted: give a loaded machine time to draw it.
bar_painted() {
    for _ in $(seq 1 50); do
        colour=$(pixel "$(screenshot bar)" $((WX + 250)) $((WY + 35)))
        [ "$colour" = "128,255,255" ] && return 0
        sleep 0.1
    done
    return 1
}
bar_painted || fail "bar colour $colour"
level=$(peak 2)
louder "$level" 0.05 || fail "no alarm sound on the speakers (peak $level)"

note "after about 5 s: ended, silent, 30 % and muted again"
wait_gone "$pid" 15 || fail "Tinkra did not end"
[ "$(volume)" = 30% ] && [ "$(muted)" = yes ] || fail "speakers left at $(volume), muted $(muted)"
pactl set-sink-mute speakers 0 # to hear whether anything still plays
level=$(peak 1)
louder 0.001 "$level" || fail "sound after the end (peak $level)"
pactl set-sink-mute speakers 1
[ ! -e "$XDG_RUNTIME_DIR/Tinkra.sound" ] || fail "state file left after a clean end"

note "another program's always-on-top window over the bar: the bar is back within 200 ms"
start_program "$tinkra"
pid=$LAST_PID
bar=$(wait_window '^   Есть напоминание$' 10) || fail "no alarm bar"
window_geometry "$bar"
bar_painted || fail "bar colour $colour" # only a drawn bar can be seen coming back
seen=$("$QUILL_BUILD_DIR/tests/alarm/coverwindow" 0 $((WY - 20)) $((WW + 100)) $((WH + 20)) \
    $((WX + 250)) $((WY + 35))) || fail "no cover window"
[ "$seen" = "128,255,255" ] || fail "the bar is still covered 200 ms later (screen shows $seen)"
kill -TERM "$pid"
wait_gone "$pid" 5 || fail "Tinkra did not end on SIGTERM"

note "SIGTERM mid-alert: 30 % and muted again at once"
start_program "$tinkra"
pid=$LAST_PID
wait_mixer 100% no || fail "alert did not raise the volume"
kill -TERM "$pid"
wait_gone "$pid" 2 || fail "Tinkra did not end at once on SIGTERM"
[ "$(volume)" = 30% ] && [ "$(muted)" = yes ] || fail "SIGTERM left $(volume), muted $(muted)"
[ ! -e "$XDG_RUNTIME_DIR/Tinkra.sound" ] || fail "state file left after SIGTERM"

note "left 20 %, right 80 % survive an alarm"
pactl set-sink-volume speakers 20% 80%
start_program "$tinkra"
pid=$LAST_PID
wait_mixer 100% no || fail "alert did not raise the volume"
[ "$(balance)" = "100% 100%" ] || fail "not both channels raised: $(balance)"
wait_gone "$pid" 15 || fail "Tinkra did not end"
[ "$(balance)" = "20% 80%" ] || fail "balance came back as $(balance)"
pactl set-sink-volume speakers 30%

note "a killed player is repaired by the next one"
start_program "$tinkra"
pid=$LAST_PID
wait_mixer 100% no || fail "alert did not raise the volume"
kill -9 "$pid"
wait "$pid" 2>/dev/null || true
[ "$(volume)" = 100% ] || fail "expected the killed player to leave 100 %, got $(volume)"
start_program "$tinkra"
pid=$LAST_PID
wait_window '^   Есть напоминание$' 10 >/dev/null || fail "no alarm bar"
wait_mixer 100% no || fail "second alert did not raise the volume"
wait_gone "$pid" 15 || fail "Tinkra did not end"
[ "$(volume)" = 30% ] && [ "$(muted)" = yes ] || fail "not repaired: $(volume), muted $(muted)"

note "a missing alarm recording: an error message; closed, the alert goes on; restored after 5 s"
mv "$pf/Data/1.mp3" "$pf/Data/1.mp3.away"
start_program "$tinkra"
pid=$LAST_PID
box=$(wait_window '^Tinkra$' 10) || fail "no error message"
xdotool windowactivate --sync "$box" key Return
sleep 1
kill -0 "$pid" 2>/dev/null || fail "closing the error message ended the alert early"
wait_gone "$pid" 15 || fail "Tinkra did not end after its error message"
[ "$(volume)" = 30% ] && [ "$(muted)" = yes ] || fail "not restored: $(volume), muted $(muted)"
mv "$pf/Data/1.mp3.away" "$pf/Data/1.mp3"

note "its window module missing: the alarm still sounds, says why, and is put back after 5 s"
mv "$pf/Data/libTinkraWindow.so" "$pf/Data/libTinkraWindow.so.away"
start_program "$tinkra"
pid=$LAST_PID
wait_mixer 100% no || fail "without its window the alert did not raise the volume"
level=$(peak 2)
louder "$level" 0.05 || fail "without its window no alarm sound (peak $level)"
wait_gone "$pid" 15 || fail "Tinkra without its window did not end"
[ "$(volume)" = 30% ] && [ "$(muted)" = yes ] || fail "not restored: $(volume), muted $(muted)"
grep -q "the alarm bar cannot be shown" "$QT_WORK/Tinkra.log" || fail "nothing said: $(cat "$QT_WORK/Tinkra.log")"
mv "$pf/Data/libTinkraWindow.so.away" "$pf/Data/libTinkraWindow.so"
note "ok"
