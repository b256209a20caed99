#!/usr/bin/env bash
# A newcomer's first reminder, made only with the mouse (and the keyboard for
# the comment) on the installed Quillmur: menu, dial, OK, OK, a day, OK,
# record two spoken parts with a pause between, stop. Then the task is found
# in the list of all tasks and played to the speakers.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"

prefix=$(install_suite)
# The clock is set, so the calendar shows a known month; it runs at real speed.
faketime_lib=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
[ -f "$faketime_lib" ] || fail "libfaketime is not installed"
export ASAN_OPTIONS="$ASAN_OPTIONS:allocator_release_to_os_interval_ms=-1:verify_asan_link_order=0"
map=$("$QUILL_BUILD_DIR/tools/widgetmap" "$prefix" 2026-12-07 2>/dev/null) || fail "no widget map"
at() { awk -v n="$1" '$1 == n {print $2, $3; exit}' <<<"$map"; }

LD_PRELOAD="$faketime_lib" FAKETIME="@2026-12-07 14:28:30" start_program "$prefix/Quillmur"
quill=$LAST_PID
win=$(wait_window '^Quillmur$') || fail "no window"
sleep 1
window_geometry "$win"
step=0
shot() { step=$((step + 1)); screenshot "reminder-$step-$1" >/dev/null; }
click_at() { xdotool mousemove $((WX + $1)) $((WY + $2)) sleep 0.2 click 1 sleep 0.5; }
click() { local p; p=$(at "$1"); [ -n "$p" ] || fail "no control $1"; click_at $p; }
# The dial: centre of the ring, a point at radius 80 for a clock-face minute.
read -r cx cy _ <<<"$(at FrTimer)"
cy=$((cy - 150 + 102)) cx=$((cx - 100 + 100))
ring() { # minute -> x y
    case $1 in 0) echo "$cx $((cy - 80))" ;; 15) echo "$((cx + 80)) $cy" ;;
        30) echo "$cx $((cy + 80))" ;; 45) echo "$((cx - 80)) $cy" ;; esac
}
point() { # moves the hand there and leaves it frozen
    local x y; read -r x y <<<"$(ring "$1")"
    xdotool mousemove $((WX + x + 2)) $((WY + y)) sleep 0.2 mousemove $((WX + x)) $((WY + y)) sleep 0.2 click 1 sleep 0.5
}

click GifCtl12                  # the menu
shot menu
click 'picMeny#1'               # a new reminder: the dial
read -r x y <<<"$(ring 45)"
click_at "$x" "$y"              # the dial follows the mouse after a click
sleep 0.6
point 45                        # 9 o'clock in the day half
shot hour
click picOK                     # on to the minutes
point 15                        # a quarter past
shot minutes
click picOK                     # on to the day
sleep 0.5
click day:24
shot day
click picOK                     # the recording panel
sleep 1
shot recording-panel

click txtKoment
xdotool type --delay 80 "тест напоминание"
click imgRecord_0
sleep 0.5
mic_say "Первая часть напоминания."
sleep 3.5
click imgPausa_0                # pause
sleep 1
click imgPausa_0                # resume
sleep 0.3
mic_say "Вторая часть."
sleep 3
shot recorded
click imgStop_0                 # stop: the encoder takes over

task=""
for _ in $(seq 1 300); do
    task=$(ls "$prefix/Media" 2>/dev/null | head -n 1)
    [ -n "$task" ] && [ -z "$(pgrep -f "$prefix/lame" || true)" ] && break
    sleep 0.1
done
shot saved
[ -n "$task" ] || { cat "$QT_WORK/Quillmur.log" >&2; fail "no task file in Media"; }
note "task: $task"
[[ "$task" =~ ^24\.12\.2026\ 09ч\ 15м\ [0-5][0-9]\.mp3$ ]] || fail "unexpected task name: $task"
info=$(file -b "$prefix/Media/$task")
note "$info"
grep -q 'MPEG ADTS, layer III, v2' <<<"$info" || fail "not MPEG-2 layer III"
grep -q '48 kbps' <<<"$info" || fail "not 48 kbit/s"
grep -q '22.05 kHz' <<<"$info" || fail "not 22050 Hz"
[ "$(tail -c 128 "$prefix/Media/$task" | head -c 3)" = TAG ] || fail "no ID3v1 tag at the end"
album=$(tail -c 128 "$prefix/Media/$task" | dd bs=1 skip=63 count=30 status=none | tr -d '\0 ')
[ "$album" = Ola-Brenvik ] || fail "album is '$album'"
comment=$(tail -c 128 "$prefix/Media/$task" | dd bs=1 skip=97 count=30 status=none | tr -d '\0' | iconv -f CP1251 -t UTF-8)
[ "${comment%% }" = "тест_напоминание" ] || fail "comment is '$comment'"
lame --quiet --decode "$prefix/Media/$task" "$QT_WORK/task.wav" || fail "the task does not decode"
seconds=$(sox "$QT_WORK/task.wav" -n stat 2>&1 | awk '/Length/ {print int($3)}')
note "recording lasts $seconds s"
[ "$seconds" -ge 5 ] || fail "the recording is too short for both parts"
[ ! -e "$HOME/.cache/Quillmur/test.wav" ] || fail "test.wav was left behind"

# The task in the list of all tasks, played to the speakers.
click GifCtl12
click 'picMeny#0'
click lblToday3
shot list
click imgPusk
sleep 0.5
level=$(speakers_peak 2)
note "while playing: $level"
awk -v l="$level" 'BEGIN {exit !(l > 0.02)}' || fail "no sound while playing"
click imgStop2
sleep 0.5
level=$(speakers_peak 1)
note "after Stop: $level"
awk -v l="$level" 'BEGIN {exit !(l < 0.01)}' || fail "sound goes on after Stop"
kill -0 "$quill" || fail "Quillmur ended"
echo "new reminder: ok"
