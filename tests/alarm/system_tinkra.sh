#!/usr/bin/env bash
# Tinkra against the private sound server and window manager: full volume
# and unmuted while the alarm sounds on the speakers, the bar kept above
# other windows, the user's 30 % and mute back afterwards (also after SIGTERM,
# and with a left/right balance), a player killed half-way repaired by the
# next one, and a missing alarm recording reported without stopping the
# clean-up. With voice-after-chime=on the due note itself follows the chime
# (an unplayable one passed over), and "--note FILE" plays one note alone.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"

: "${PULSE_SERVER:?system tests need the sound server of the test command}"
pf=$(install_suite)
tinkra="$pf/Data/Tinkra"

volume() { pactl get-sink-volume speakers | awk 'NR == 1 {print $5}'; }
# Both channels, as "20% 80%".
balance() { pactl get-sink-volume speakers | awk 'NR == 1 {print $5, $12}'; }
muted() { pactl get-sink-mute speakers | awk '{print $2}'; }
# Whether the speakers show the given volume and mute.
mixer_is() { [ "$(volume)" = "$1" ] && [ "$(muted)" = "$2" ]; }
louder() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# Where the recording of the speakers' monitor (monitor_start) stands, in
# whole samples: a place to look from for what a player started later plays.
# Looking from there, however late the test gets to it, nothing is missed.
monitor_at() {
    local n; n=$(stat -c %s "$QT_WORK/monitor.raw")
    echo $((n - n % 2))
}
# The loudest sample (0..1) the speakers played from the place $1 on.
peak_since() {
    local from=$1 now; now=$(monitor_at)
    [ "$now" -gt "$from" ] || { echo 0; return; }
    dd if="$QT_WORK/monitor.raw" iflag=skip_bytes,count_bytes bs=64k skip="$from" \
        count=$((now - from)) status=none |
        sox -t raw -r 22050 -e signed -b 16 -c 1 - -n stat 2>&1 | awk '/^Maximum amplitude/ {print $3}'
}
# Whether the speakers played louder than $2 from the place $1 on.
loud_since() { louder "$(peak_since "$1")" "$2"; }
# How loud the first 5 ms of sound from the place $1 on are against the 50 ms
# after them: about 1 when a sound starts at its level, near 0 when it
# started quiet and was turned up while playing.
onset_ratio() {
    dd if="$QT_WORK/monitor.raw" iflag=skip_bytes,count_bytes bs=64k skip="$1" \
        count=$(($(monitor_at) - $1)) status=none | od -An -v -td2 -w2 |
        awk '{ v = $1 + 0; a = v < 0 ? -v : v }
             !start && a > 64 { start = NR }
             start && NR < start + 110 && a > first { first = a }
             start && NR >= start + 110 && NR < start + 1210 && a > later { later = a }
             END { printf "%.3f\n", later ? first / later : 0 }'
}

# Waits until the speakers play, from the place $1 on, three tenths of a
# second in a row, each louder than $4 and of a rough frequency (zero
# crossings counted, as sox's "stat" does) between $2 and $3 Hz; fails after
# $5 seconds (0: only what is there now). Sets SOUND_AT to where they begin.
# Three, since a tenth where a sound starts after silence counts too few
# crossings. What came since the last look is looked at in one pass.
#   sound_wait FROM LO HI LEVEL SECS
sound_wait() {
    local at=$1 lo=$2 hi=$3 level=$4 end=$((SECONDS + $5)) span=4410 now found
    while :; do
        now=$(monitor_at)
        now=$((now - (now - at) % span))
        if [ "$now" -gt "$at" ]; then
            found=$(dd if="$QT_WORK/monitor.raw" iflag=skip_bytes,count_bytes bs=64k skip="$at" \
                count=$((now - at)) status=none | od -An -v -td2 -w2 |
                awk -v lo="$lo" -v hi="$hi" -v level="$level" -v n=$((span / 2)) '
                    { v = $1 + 0; a = v < 0 ? -v : v; if (a > peak) peak = a
                      s = v < 0; if (i % n && s != last) cross++; last = s }
                    ++i % n == 0 {
                        run = peak / 32768 > level && cross * 5 >= lo && cross * 5 <= hi ? run + 1 : 0
                        if (run == 3 && !told++) print i / n - 3 # reads on: no broken pipe
                        peak = 0; cross = 0 }')
            if [ -n "$found" ]; then
                SOUND_AT=$((at + found * span))
                return 0
            fi
            # The last two tenths again next time: a run may go on there.
            [ $((now - 2 * span)) -le "$at" ] || at=$((now - 2 * span))
        fi
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.2
    done
}
# Seconds of sound between two places of the monitor recording.
seconds_between() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b - a) / 44100 }'; }

# Someone looking at where the bar is drawn (tests/alarm/coverwindow
# --watch), from before the player starts: a loaded machine may draw the bar
# late in its five seconds. watch_bar X Y starts looking at a point inside
# it; watch_seen then waits for what was seen there ("128,255,255": the bar).
watch_bar() {
    "$QUILL_BUILD_DIR/tests/alarm/coverwindow" --watch "$1" "$2" >"$QT_WORK/watch.out" \
        2>"$QT_WORK/watchwindow.log" &
    WATCH_PID=$!
    QT_PIDS+=("$WATCH_PID")
    wait_for 120 grep -qx ready "$QT_WORK/watch.out" || fail "nothing looks at the bar"
}
watch_seen() {
    wait_gone "$WATCH_PID" 120 || fail "the bar's watcher hangs"
    tail -n 1 "$QT_WORK/watch.out"
}

# Another program's always-on-top window over the bar (tests/alarm/
# coverwindow): cover_show puts it on the screen where the bar will be, before
# the player starts, so that its start-up does not eat into the five seconds
# of the bar; cover_over PID then lifts it over the bar of that player and
# sets $seen to what the screen shows there once the bar has come back
# ("128,255,255"); $QT_WORK/cover.out says why when it did not.
cover_show() {
    rm -f "$QT_WORK/cover.in" "$QT_WORK/cover.out"
    mkfifo "$QT_WORK/cover.in"
    "$QUILL_BUILD_DIR/tests/alarm/coverwindow" 0 $((WY - 20)) $((WW + 100)) $((WH + 20)) \
        $((WX + 250)) $((WY + 35)) <"$QT_WORK/cover.in" >"$QT_WORK/cover.out" 2>"$QT_WORK/coverwindow.log" &
    COVER_PID=$!
    QT_PIDS+=("$COVER_PID")
    exec {COVER_IN}>"$QT_WORK/cover.in"
    wait_for 120 grep -qx shown "$QT_WORK/cover.out" || fail "no cover window: $(cat "$QT_WORK/cover.out")"
}
cover_over() {
    echo "$1" >&"$COVER_IN"
    exec {COVER_IN}>&-
    wait_gone "$COVER_PID" 200 || fail "the cover window hangs: $(cat "$QT_WORK/cover.out")"
    kill -CONT "$1" 2>/dev/null || true # never left frozen
    seen=$(tail -n 1 "$QT_WORK/cover.out")
}

pactl set-sink-volume speakers 30%
pactl set-sink-mute speakers 1
# Muted, the speakers' monitor hears silence.
monitor_start
screen_h=$(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[2]}')

note "during the alert: 100 %, unmuted, the alarm on the speakers, the bar"
# Where the bottom-left bar will be drawn.
watch_bar 250 $((screen_h - 5))
from=$(monitor_at)
start_program "$tinkra" -minimized
pid=$LAST_PID
wait_for 120 mixer_is 100% no || fail "speakers at $(volume), muted $(muted) during the alert"
bar=$(wait_window '^   Есть напоминание$' 120) || fail "no alarm bar"
window_geometry "$bar"
xprop -id "$bar" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "the bar does not ask to be kept above"
# Not a task bar button (asked once the bar is on the screen).
skips() { xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR; }
wait_for 30 skips "$bar" || fail "the bar shows in task bars: $(xprop -id "$bar" _NET_WM_STATE)"
[ "$WW" = 263 ] && [ "$WH" = 40 ] || fail "bar is ${WW}x${WH}"
[ "$WX" = 0 ] || fail "bar not at the left edge: x=$WX"
[ $((WY + WH)) -eq "$screen_h" ] || fail "bar not at the bottom: y=$WY"
colour=$(watch_seen)
[ "$colour" = "128,255,255" ] || fail "bar colour $colour"
wait_for 60 loud_since "$from" 0.05 || fail "no alarm sound on the speakers (peak $(peak_since "$from"))"

note "after about 5 s: ended, silent, 30 % and muted again"
wait_gone "$pid" 120 || fail "Tinkra did not end"
mixer_is 30% yes || fail "speakers left at $(volume), muted $(muted)"
pactl set-sink-mute speakers 0 # to hear whether anything still plays
# That nothing plays: the next two seconds of what the speakers play.
level=$(speakers_peak 2)
louder 0.001 "$level" || fail "sound after the end (peak $level)"
pactl set-sink-mute speakers 1
[ ! -e "$XDG_RUNTIME_DIR/Tinkra.sound" ] || fail "state file left after a clean end"

note "the speakers are turned up before the chime's first sound, not while it plays"
pactl set-sink-mute speakers 0 # 30 %: a chime begun before the raise is heard quiet
from=$(monitor_at)
start_program "$tinkra"
pid=$LAST_PID
wait_for 60 loud_since "$from" 0.05 || fail "no alarm sound on the speakers"
kill -TERM "$pid" 2>/dev/null || true
wait_gone "$pid" 120 || fail "Tinkra did not end"
pactl set-sink-mute speakers 1
onset=$(onset_ratio "$from")
louder "$onset" 0.5 || fail "the chime began at the old level (its first 5 ms at $onset of the next 50)"

note "another program's always-on-top window over the bar: the bar comes back over it by itself"
cover_show
start_program "$tinkra"
pid=$LAST_PID
cover_over "$pid"
[ "$seen" = "128,255,255" ] || fail "the bar stays covered: $(cat "$QT_WORK/cover.out")"
kill -TERM "$pid" 2>/dev/null || true # unless its alarm is over already
wait_gone "$pid" 120 || fail "Tinkra did not end"

note "SIGTERM mid-alert: ends, 30 % and muted again"
start_program "$tinkra"
pid=$LAST_PID
wait_for 120 mixer_is 100% no || fail "alert did not raise the volume"
kill -TERM "$pid"
# That it ends and puts the mixer back; how soon is not timed (by itself it
# would end after its 5 s as well).
wait_gone "$pid" 120 || fail "Tinkra did not end on SIGTERM"
mixer_is 30% yes || fail "SIGTERM left $(volume), muted $(muted)"
[ ! -e "$XDG_RUNTIME_DIR/Tinkra.sound" ] || fail "state file left after SIGTERM"

note "left 20 %, right 80 % survive an alarm"
pactl set-sink-volume speakers 20% 80%
start_program "$tinkra"
pid=$LAST_PID
wait_for 120 mixer_is 100% no || fail "alert did not raise the volume"
[ "$(balance)" = "100% 100%" ] || fail "not both channels raised: $(balance)"
wait_gone "$pid" 120 || fail "Tinkra did not end"
[ "$(balance)" = "20% 80%" ] || fail "balance came back as $(balance)"
pactl set-sink-volume speakers 30%

note "a killed player is repaired by the next one"
start_program "$tinkra"
pid=$LAST_PID
wait_for 120 mixer_is 100% no || fail "alert did not raise the volume"
kill -9 "$pid"
wait "$pid" 2>/dev/null || true
[ "$(volume)" = 100% ] || fail "expected the killed player to leave 100 %, got $(volume)"
start_program "$tinkra"
pid=$LAST_PID
wait_window '^   Есть напоминание$' 120 >/dev/null || fail "no alarm bar"
wait_for 120 mixer_is 100% no || fail "second alert did not raise the volume"
wait_gone "$pid" 120 || fail "Tinkra did not end"
mixer_is 30% yes || fail "not repaired: $(volume), muted $(muted)"

note "a missing alarm recording: an error message; closed, the alert goes on; restored after 5 s"
mv "$pf/Data/1.mp3" "$pf/Data/1.mp3.away"
cover_show
start_program "$tinkra"
pid=$LAST_PID
box=$(wait_window '^Tinkra$' 120) || fail "no error message"
xdotool windowactivate --sync "$box" key Return
message_gone() { [ "$(count_windows '^Tinkra$')" = 0 ]; }
wait_for 60 message_gone || fail "the error message did not close"
# The bar still lifting itself over a cover after that shows the alert going
# on: a player that ended with its message would not.
cover_over "$pid"
[ "$seen" = "128,255,255" ] || fail "closing the error message ended the alert early: $(cat "$QT_WORK/cover.out")"
wait_gone "$pid" 120 || fail "Tinkra did not end after its error message"
mixer_is 30% yes || fail "not restored: $(volume), muted $(muted)"
mv "$pf/Data/1.mp3.away" "$pf/Data/1.mp3"

# An alarm without its bar: raised, heard, ended, put back, and why said.
# Variables set on the call are Tinkra's environment.
#   barless_alarm WITHOUT
barless_alarm() {
    local without=$1
    from=$(monitor_at)
    start_program "$tinkra"
    pid=$LAST_PID
    wait_for 120 mixer_is 100% no || fail "without $without the alert did not raise the volume"
    wait_for 60 loud_since "$from" 0.05 || fail "without $without no alarm sound (peak $(peak_since "$from"))"
    wait_gone "$pid" 120 || fail "Tinkra without $without did not end"
    mixer_is 30% yes || fail "not restored without $without: $(volume), muted $(muted)"
    grep -q "the alarm bar cannot be shown" "$QT_WORK/Tinkra.log" || fail "nothing said: $(cat "$QT_WORK/Tinkra.log")"
}

note "its window module missing: the alarm still sounds, says why, and is put back after 5 s"
mv "$pf/Data/libTinkraWindow.so" "$pf/Data/libTinkraWindow.so.away"
barless_alarm "its window"
mv "$pf/Data/libTinkraWindow.so.away" "$pf/Data/libTinkraWindow.so"

note "its player missing (a broken installation): says so, and leaves nothing changed"
mv "$pf/Data/libTinkraPlayer.so" "$pf/Data/libTinkraPlayer.so.away"
rc=0
"$tinkra" 2>"$QT_WORK/noplayer.log" || rc=$?
mv "$pf/Data/libTinkraPlayer.so.away" "$pf/Data/libTinkraPlayer.so"
[ "$rc" = 1 ] || fail "without its player Tinkra ended with $rc"
grep -q "the player cannot be loaded" "$QT_WORK/noplayer.log" || fail "nothing said: $(cat "$QT_WORK/noplayer.log")"
mixer_is 30% yes || fail "left $(volume), muted $(muted) without its player"
for left in Tinkra.sound Tinkra.lock; do
    [ ! -e "$XDG_RUNTIME_DIR/$left" ] || fail "$left left without its player"
done

note "no display it can open (a Wayland session whose socket is not there): the alarm still sounds and is put back"
DISPLAY='' WAYLAND_DISPLAY=quill-no-such-display XDG_SESSION_TYPE=wayland barless_alarm "a display"
note "voice after the chime: the chime, then the due note's own tone with the speakers up; put back after it"
# A due note of a 440 Hz tone, below every tone of the chime (784 Hz and
# up), so the two are told apart by frequency; before it, due longer, a
# note that cannot be played.
sox -n -r 22050 -c 1 -b 16 "$QT_WORK/tone.wav" synth 6 sine 440 vol 0.5
lame --quiet -b 48 --tc "Kupit_hleb" "$QT_WORK/tone.wav" "$pf/Media/$(date -d yesterday +%d.%m.%Y) 09ч 00м 00.mp3"
echo "not a sound" >"$pf/Media/$(date -d '2 days ago' +%d.%m.%Y) 09ч 00м 00.mp3"
echo "voice-after-chime=on" >"$pf/Data/options.txt"
from=$(monitor_at)
start_program "$tinkra" -minimized
pid=$LAST_PID
sound_wait "$from" 0 100000 0.05 60 || fail "no chime on the speakers"
chime_at=$SOUND_AT
# Heard above 0.05 at all, the tone plays unmuted and at full volume (at the
# user's 30 % it would stay below 0.02).
sound_wait "$chime_at" 380 500 0.05 120 || fail "the note's tone was not heard after the chime"
tone_at=$SOUND_AT
# Counted in samples played: the chime's five seconds are never shorter, a
# busy machine only makes them longer.
gap=$(seconds_between "$chime_at" "$tone_at")
note "the note began ${gap} s of sound after the chime began"
louder "$gap" 4.5 || fail "the note came ${gap} s after the chime began, before the chime's five seconds were over"
wait_gone "$pid" 120 || fail "Tinkra did not end after the note"
mixer_is 30% yes || fail "not restored after the note: $(volume), muted $(muted)"
grep -q "is passed over" "$QT_WORK/Tinkra.log" || fail "the unplayable note was not reported: $(cat "$QT_WORK/Tinkra.log")"
[ ! -e "$XDG_RUNTIME_DIR/Tinkra.sound" ] || fail "state file left after the note"

note "SIGTERM during the note, without a bar: ends, 30 % and muted again"
from=$(monitor_at)
DISPLAY='' WAYLAND_DISPLAY=quill-no-such-display XDG_SESSION_TYPE=wayland start_program "$tinkra"
pid=$LAST_PID
sound_wait "$from" 380 500 0.05 120 || fail "without a bar the note's tone was not heard"
kill -TERM "$pid" || fail "Tinkra ended before the SIGTERM (a 6 s note)"
wait_gone "$pid" 120 || fail "Tinkra did not end on SIGTERM during the note"
mixer_is 30% yes || fail "SIGTERM during the note left $(volume), muted $(muted)"
[ ! -e "$XDG_RUNTIME_DIR/Tinkra.sound" ] || fail "state file left after SIGTERM during the note"
rm -f "$pf/Data/options.txt" "$pf/Media/"*

note "--note FILE: the note alone at the user's volume, the mixer untouched"
pactl set-sink-volume speakers 50%
pactl set-sink-mute speakers 0
lame --quiet -b 48 "$QT_WORK/tone.wav" "$QT_WORK/note.mp3"
from=$(monitor_at)
start_program "$tinkra" --note "$QT_WORK/note.mp3"
pid=$LAST_PID
sound_wait "$from" 380 500 0.005 60 || fail "--note: the tone was not heard"
tone_at=$SOUND_AT
mixer_is 50% no || fail "--note changed the mixer: $(volume), muted $(muted)"
# No chime before it: the first sound heard is the note's (its first tenth
# of a second may not be a clean tone yet).
sound_wait "$from" 0 100000 0.005 0 || fail "--note: nothing heard"
[ $((tone_at - SOUND_AT)) -le 8820 ] || fail "--note: something played $(seconds_between "$SOUND_AT" "$tone_at") s before the note"
wait "$pid" || fail "--note ended with status $?"
mixer_is 50% no || fail "--note changed the mixer: $(volume), muted $(muted)"
"$tinkra" --note "$QT_WORK/no-such.mp3" 2>"$QT_WORK/note.err" && fail "--note of a missing file succeeded"
grep -q "is passed over" "$QT_WORK/note.err" || fail "--note of a missing file said nothing"
pactl set-sink-volume speakers 30%
pactl set-sink-mute speakers 1
note "ok"
