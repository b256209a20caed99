#!/usr/bin/env bash
# A recorded note arrives exactly once and whole, on the installed Quillmur
# driven with the mouse and from the command line: two notes recorded back to
# back while the encoder is slow both arrive; Quillmur killed while the
# encoder runs finishes the note at its next start; the window ended while it
# records keeps what was said; a kill right after the move into Media leaves
# one task, not two; the note is on the disk before its job goes; a window
# starting while the command line encodes leaves that note alone; a scratch
# folder too full for the recording keeps it in the window until there is
# room; a Media folder too full for the note gets no file at all, says so,
# while the whole note waits in the scratch folder.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"
source "$QUILL_SOURCE_DIR/tests/system/reminder.sh"

prefix=$(install_suite)
scratch="$HOME/.cache/Quillmur"
# A slow encoder: waits as long as lame-delay says, then the real one.
echo 0 >"$QT_WORK/lame-delay"
rm "$prefix/lame"
# While lame-gate exists it waits for the test to let it go.
cat >"$prefix/lame" <<WRAP
#!/bin/sh
sleep "\$(cat "$QT_WORK/lame-delay")"
while [ -e "$QT_WORK/lame-gate" ]; do sleep 0.1; done
exec /usr/bin/lame "\$@"
WRAP
chmod +x "$prefix/lame"

record_short() {
    click txtKoment
    xdotool key ctrl+a BackSpace
    type_text "$1"
    start_recording
    mic_say_heard "Короткая заметка."
    click imgStop_0 imgStop_0
}
# Waits until Media holds $1 tasks and no encoder runs (at most $2 seconds).
wait_tasks() {
    tasks_in() { [ "$(ls "$prefix/Media" | wc -l)" -ge "$1" ] && ! pgrep -f "$prefix/lame" >/dev/null; }
    wait_for "$2" tasks_in "$1"
}
task_with_comment() {
    local f
    for f in "$prefix"/Media/*.mp3; do
        [ "$(tag_comment "$f")" = "$1" ] && { echo "$f"; return 0; }
    done
    return 1
}

note "two notes back to back, the first still being encoded"
echo 15 >"$QT_WORK/lame-delay"
start_quillmur_at_known_time "$prefix"
open_recording_panel 0 30 24
record_short "первая"
saving=$(look lbHelp) # "Подождите идет сохранение файла", for as long as the slow encoder runs
open_recording_panel 30 45 25
pgrep -f "$prefix/lame" >/dev/null || fail "the first note's encoder ended too early for this test"
record_short "вторая"
wait_tasks 2 60 || fail "not both notes arrived: $(ls "$prefix/Media")"
for c in первая вторая; do
    f=$(task_with_comment "$c") || fail "no task with the comment $c"
    lame --quiet --decode "$f" "$QT_WORK/n.wav" || fail "$c does not decode"
done
[ -z "$(ls -A "$scratch")" ] || fail "scratch files left: $(ls -A "$scratch")"

note "killed while the encoder runs, then started again"
echo 6 >"$QT_WORK/lame-delay"
open_recording_panel 45 15 26
record_short "после_сбоя"
# Killed while its encoder runs: once the note's journal is written and the
# encoder started.
journal_and_encoder() { [ -f "$scratch"/note-*/note.txt ] && pgrep -f "$prefix/lame" >/dev/null; }
wait_for 60 journal_and_encoder || fail "no journal while encoding"
kill -9 "$QUILL_PID"
wait "$QUILL_PID" 2>/dev/null || true
[ "$(ls "$prefix/Media" | wc -l)" = 2 ] || fail "the note arrived before the kill; the test proves nothing"
start_quillmur_at_known_time "$prefix"
wait_tasks 3 60 || fail "the note was not recovered: $(ls -R "$scratch")"
f=$(task_with_comment "после_сбоя") ||
    fail "the recovered task lacks its comment; comments: $(for f in "$prefix"/Media/*.mp3; do tag_comment "$f"; echo; done)"
[[ "$(basename "$f")" =~ ^26\.12\.2026\ 09ч\ 15м ]] || fail "recovered under the wrong name: $f"
lame --quiet --decode "$f" "$QT_WORK/r.wav" || fail "the recovered note does not decode"
# The killed run's encoder ends on its own (its delay, then the encoding).
no_encoder() { ! pgrep -f "$prefix/lame" >/dev/null; }
wait_for 120 no_encoder || fail "an encoder runs on"
[ -z "$(ls -A "$scratch")" ] || fail "scratch files left after recovery: $(ls -A "$scratch")"
kill -0 "$QUILL_PID" || fail "Quillmur ended"

note "the window ended while recording: what was said is saved"
echo 0 >"$QT_WORK/lame-delay"
open_recording_panel 15 30 27
click txtKoment
type_text "при_выходе"
start_recording
mic_say_heard "Заметка перед самым выходом."
kill -TERM "$QUILL_PID"
wait "$QUILL_PID" 2>/dev/null || true
# Finished before the end, or by the next start from its journal.
start_quillmur_at_known_time "$prefix"
wait_tasks 4 60 || fail "the note recorded when the window ended was lost: $(ls "$prefix/Media")"
f=$(task_with_comment "при_выходе") || fail "no task with the comment при_выходе"
lame --quiet --decode "$f" "$QT_WORK/t.wav" || fail "the saved note does not decode"
kill "$QUILL_PID"
wait "$QUILL_PID" 2>/dev/null || true

# The command line makes notes with the same jobs, where the exact moments
# are easy to reach: the trap library logs the file calls and kills the
# program right after a chosen one.
trap_lib="$QUILL_BUILD_DIR/tests/support/libquill_calltrap.so"
sox -n -r 22050 -c 1 -b 16 "$QT_WORK/spoken.wav" synth 2 sine 440 vol 0.5
sox -n -r 22050 -c 1 -b 16 "$QT_WORK/long.wav" synth 20 sine 440 vol 0.5
#   add COMMENT AT [SOUND]
add() { "$prefix/Quillmur" --add "${3:-$QT_WORK/spoken.wav}" --comment "$1" --at "$2"; }
export ASAN_OPTIONS="$ASAN_OPTIONS:verify_asan_link_order=0"

note "on the disk before the job goes: data, name, folder, then the journal"
QUILL_CALL_LOG="$QT_WORK/calls" LD_PRELOAD="$trap_lib" add "в_порядке" "24.12.2027 09:15" >/dev/null ||
    fail "--add failed"
line() { grep -n -m1 -E "$1" "$QT_WORK/calls" | cut -d: -f1; }
moved=$(line "^renameat2 .*/Z\.mp3 $prefix/Media/[^/]+\.mp3\$") || fail "no move into Media: $(cat "$QT_WORK/calls")"
data=$(line "^fsync .*/Z\.mp3\$") || fail "the note's data was never flushed"
folder=$(awk -v m="$moved" -v d="$prefix/Media" 'NR > m && $0 == "fsync " d {print NR; exit}' "$QT_WORK/calls")
gone=$(line "^unlink .*/note-[0-9]+/note\.txt\$") || fail "the journal was never removed"
[ "$data" -lt "$moved" ] && [ -n "$folder" ] && [ "$folder" -lt "$gone" ] ||
    fail "not flushed before the journal went (data $data, move $moved, folder ${folder:-never}, journal $gone)"

note "killed right after the move into Media: the next start only cleans up"
tasks=$(ls "$prefix/Media" | wc -l)
status=0
QUILL_KILL_AFTER="renameat2:$prefix/Media/" LD_PRELOAD="$trap_lib" add "один_раз" "24.12.2027 10:15" || status=$?
[ "$status" = 137 ] || fail "--add was not killed at the move (status $status)"
[ "$(ls "$prefix/Media" | wc -l)" = $((tasks + 1)) ] || fail "the note did not reach Media before the kill"
ls "$scratch"/note-*/note.txt >/dev/null || fail "the killed job left no journal; the test proves nothing"
start_quillmur_at_known_time "$prefix"
no_jobs() { ! ls "$scratch"/note-* >/dev/null 2>&1; }
wait_for 60 no_jobs || fail "the job was not cleaned up: $(ls -R "$scratch")"
[ "$(ls "$prefix/Media" | wc -l)" = $((tasks + 1)) ] || fail "the note was doubled: $(ls "$prefix/Media")"
kill "$QUILL_PID"
wait "$QUILL_PID" 2>/dev/null || true

note "a window starting while the command line encodes leaves that note alone"
touch "$QT_WORK/lame-gate"
add "не_трогать" "24.12.2027 11:15" >"$QT_WORK/add.out" 2>"$QT_WORK/add.err" &
add_pid=$!
wait_for 60 journal_and_encoder || fail "the command line's job never started its encoder"
start_quillmur_at_known_time "$prefix"
# Once the window answers, its start-up (and its look at the scratch folder) is over.
click GifCtl12 'picMeny#1'
[ "$(pgrep -fc "$prefix/lame")" = 1 ] || fail "the window took over the command line's note"
rm "$QT_WORK/lame-gate"
status=0
wait "$add_pid" || status=$?
[ "$status" = 0 ] || fail "--add failed ($status): $(cat "$QT_WORK/add.err")"
[ "$(ls "$prefix/Media" | grep -c '^24\.12\.2027 11ч')" = 1 ] || fail "not one task: $(ls "$prefix/Media")"

note "Media on a small file system, too full for the note"
echo 0 >"$QT_WORK/lame-delay"
media="$prefix/Media"
if ! mount -t tmpfs -o size=64k quill-media "$media" 2>"$QT_WORK/mount.err"; then
    [ "$(id -u)" != 0 ] || fail "mounting a tmpfs failed as root: $(cat "$QT_WORK/mount.err")"
    echo "SKIP: mounting a tmpfs is not permitted here ($(cat "$QT_WORK/mount.err")); the full-disk cases did not run"
    exit 77
fi
trap 'kill "$QUILL_PID" 2>/dev/null || true; wait "$QUILL_PID" 2>/dev/null || true; umount "$media" 2>/dev/null || umount -l "$media" 2>/dev/null || true; umount "$scratch" 2>/dev/null || umount -l "$scratch" 2>/dev/null || true; cleanup' EXIT
head -c 40k /dev/zero >"$media/.filler" || true
open_recording_panel 0 0 28
record_two_parts "не_влезло"
# The hint says how the saving ended once the window has looked at what the
# encoder made (once a second).
wait_changed "$saving" lbHelp || fail "the window never told how the saving ended"
encoded() { ls "$scratch"/note-*/Z.mp3 >/dev/null 2>&1 && ! pgrep -f "$prefix/lame" >/dev/null; }
wait_for 120 encoded || fail "the note's encoding did not end"
[ "$(ls -A "$media")" = .filler ] || fail "Media holds more than before: $(ls -A "$media")"
kept=$(ls "$scratch"/note-*/Z.mp3) || fail "the note is not in the scratch folder"
[ "$(tail -c 128 "$kept" | head -c 3)" = TAG ] || fail "the kept note has no tag"
[ "$(tag_comment "$kept")" = "не_влезло" ] || fail "the kept note lacks its comment"
lame --quiet --decode "$kept" "$QT_WORK/k.wav" || fail "the kept note does not decode"
seconds=$(sox "$QT_WORK/k.wav" -n stat 2>&1 | awk '/Length/ {print int($3)}')
[ "$seconds" -ge 5 ] || fail "the kept note is cut short ($seconds s)"
kill -0 "$QUILL_PID" || fail "Quillmur ended"
# The same move from the command line says why in words.
status=0
add "полно" "24.12.2027 12:15" "$QT_WORK/long.wav" 2>"$QT_WORK/add.err" || status=$?
[ "$status" = 2 ] && grep -q "нет места на диске в $media" "$QT_WORK/add.err" ||
    fail "a full Media was not told as such ($status): $(cat "$QT_WORK/add.err")"
umount "$media"
rm -rf "$scratch"/note-*

note "a scratch folder too full for the recording: kept in the window until there is room"
mount -t tmpfs -o size=8m,mode=0700 quill-cache "$scratch" || fail "no tmpfs for the scratch folder"
head -c $((8192 - 32))k /dev/zero >"$scratch/.filler"
open_recording_panel 15 45 29
click txtKoment
xdotool key ctrl+a BackSpace
type_text "нет_места"
start_recording
mic_say_heard "Эта заметка длиннее, чем осталось места на диске."
tasks=$(ls "$prefix/Media" | wc -l)
# Stop saves before the window draws again: the hint's change is its
# answer, and the panel stays in front.
click imgStop_0 lbHelp
! ls -d "$scratch"/note-* 2>/dev/null || fail "a note folder was left: $(ls -la "$scratch"/note-*)"
[ "$(ls "$prefix/Media" | wc -l)" = "$tasks" ] || fail "a cut-short note became a task"
rm "$scratch/.filler"
click imgStop_0
f=$(wait_for_task "$prefix" "$tasks") || fail "the note was not saved once there was room"
[ "$(tag_comment "$prefix/Media/$f")" = "нет_места" ] || fail "saved a different note: $f"
lame --quiet --decode "$prefix/Media/$f" "$QT_WORK/f.wav" || fail "the note does not decode"
seconds=$(sox "$QT_WORK/f.wav" -n stat 2>&1 | awk '/Length/ {print $3}')
awk -v s="$seconds" 'BEGIN {exit !(s >= 2.5)}' || fail "the note is cut short ($seconds s)"
kill -0 "$QUILL_PID" || fail "Quillmur ended"
echo "note safety: ok"
