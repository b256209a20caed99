#!/usr/bin/env bash
# A recorded note is never lost or left half written, on the installed
# Quillmur driven with the mouse: two notes recorded back to back while the
# encoder is slow both arrive; Quillmur killed while the encoder runs
# finishes the note at its next start; a Media folder too full for the note
# gets no file at all while the whole note waits in the scratch folder.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"
source "$QUILL_SOURCE_DIR/tests/system/reminder.sh"

prefix=$(install_suite)
scratch="$HOME/.cache/Quillmur"
# A slow encoder: waits as long as lame-delay says, then the real one.
echo 0 >"$QT_WORK/lame-delay"
rm "$prefix/lame"
cat >"$prefix/lame" <<WRAP
#!/bin/sh
sleep "\$(cat "$QT_WORK/lame-delay")"
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

note "Media on a small file system, too full for the note"
echo 0 >"$QT_WORK/lame-delay"
media="$prefix/Media"
if ! mount -t tmpfs -o size=64k quill-media "$media" 2>"$QT_WORK/mount.err"; then
    [ "$(id -u)" != 0 ] || fail "mounting a tmpfs failed as root: $(cat "$QT_WORK/mount.err")"
    echo "SKIP: mounting a tmpfs is not permitted here ($(cat "$QT_WORK/mount.err")); the full-Media case did not run"
    exit 77
fi
trap 'kill "$QUILL_PID" 2>/dev/null || true; wait "$QUILL_PID" 2>/dev/null || true; umount "$media" || umount -l "$media" || true; cleanup' EXIT
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
echo "note safety: ok"
