#!/usr/bin/env bash
# A newcomer's first reminder, made only with the mouse (and the keyboard for
# the comment) on the installed Quillmur: menu, dial, OK, OK, a day, OK,
# record two spoken parts with a pause between, stop. Then the task is found
# in the list of all tasks and played to the speakers. A second one is made
# with the keyboard alone.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"
source "$QUILL_SOURCE_DIR/tests/system/reminder.sh"

prefix=$(install_suite)
start_quillmur_at_known_time "$prefix"
step=0
shot() { step=$((step + 1)); screenshot "reminder-$step-$1" >/dev/null; }

open_recording_panel 45 15 24 # 09:15 on 24 December
shot recording-panel
record_two_parts "тест напоминание"
task=$(wait_for_task "$prefix" 0) || { cat "$QT_WORK/Quillmur.log" >&2; fail "no task file in Media"; }
shot saved
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
comment=$(tag_comment "$prefix/Media/$task")
[ "$comment" = "тест_напоминание" ] || fail "comment is '$comment'"
lame --quiet --decode "$prefix/Media/$task" "$QT_WORK/task.wav" || fail "the task does not decode"
seconds=$(sox "$QT_WORK/task.wav" -n stat 2>&1 | awk '/Length/ {print int($3)}')
note "recording lasts $seconds s"
[ "$seconds" -ge 5 ] || fail "the recording is too short for both parts"
[ -z "$(ls -A "$HOME/.cache/Quillmur")" ] || fail "scratch files were left behind"

# The task in the list of all tasks, played to the speakers.
monitor_start
click GifCtl12 # the menu is in front already after saving
click 'picMeny#0' lstFiles
click lblToday3 lstFiles
shot list
click imgPusk
speakers_wait_loud 0.02 60 || fail "no sound while playing"
click imgStop2
# The note's first part is playing; its second part comes seconds after a
# pause of over a second. Stopped, the speakers fall quiet and stay so for
# longer than that pause: a player still running would be heard again.
raw_wait_quiet "$QT_WORK/monitor.raw" "$RAW_AT" 1 0.01 60 || fail "sound goes on after Stop"
quiet_from=$RAW_AT
monitor_has $((quiet_from + 5 * 22050 * 2)) || wait_for 60 monitor_has $((quiet_from + 5 * 22050 * 2)) ||
    fail "the speakers' monitor stalled"
level=$(raw_peak "$QT_WORK/monitor.raw" "$quiet_from" $((5 * 22050 * 2)))
note "after Stop: $level"
awk -v l="$level" 'BEGIN {exit !(l < 0.01)}' || fail "sound goes on after Stop"
kill -0 "$QUILL_PID" || fail "Quillmur ended"

note "a second reminder with the keyboard alone"
# key KEYS... WATCH...: the keys, then the window's answer on the watched controls.
keys() {
    local -a pressed=()
    while [ $# -gt 0 ] && [ "$1" != -- ]; do pressed+=("$1"); shift; done
    shift
    local before; before=$(look "$@")
    xdotool key --delay 120 "${pressed[@]}"
    wait_changed "$before" "$@" || fail "the window did not answer ${pressed[*]}"
}
keys Escape -- 'picMeny#1'
keys 2 -- FrTimer
keys Right Right Right -- FrTimer # 15 o'clock
keys Return -- lbHelp             # on to the minutes
keys Right -- FrTimer             # 15:16
keys Return -- picCalendar        # today is chosen
keys Right -- picCalendar         # and tomorrow instead
keys Return -- txtKoment          # the recording panel
mic_listen_start
keys space -- imgPausa_0
mic_say_heard "Напоминание с клавиатуры."
keys Return -- imgStop_0
second=$(wait_for_task "$prefix" 1) || fail "no task from the keyboard"
note "task: $second"
[[ "$second" =~ ^08\.12\.2026\ 15ч\ 16м\ [0-5][0-9]\.mp3$ ]] || fail "unexpected task name: $second"
echo "new reminder: ok"
