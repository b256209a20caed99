#!/usr/bin/env bash
# What the encoding does when things around it are not as expected: an old
# Z.mp3 left in the scratch folder is not taken for the new recording, and
# with the encoder missing the recording is kept and no task is pretended.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"
source "$QUILL_SOURCE_DIR/tests/system/reminder.sh"

prefix=$(install_suite)
scratch="$HOME/.cache/Quillmur"
mkdir -p "$scratch"
sox -n -r 22050 -c 1 "$QT_WORK/old.wav" synth 1 sine 440
lame --quiet --tc "old" --tl "old" "$QT_WORK/old.wav" "$scratch/Z.mp3"
start_quillmur_at_known_time "$prefix"

open_recording_panel 0 30 24 # 12:30 on 24 December
record_two_parts "свежий"
saving=$(look lbHelp) # while the encoder runs: "Подождите идет сохранение файла"
task=$(wait_for_task "$prefix" 0) || fail "no task file in Media"
note "task: $task"
comment=$(tag_comment "$prefix/Media/$task")
[ "$comment" = "свежий" ] || fail "the task carries the comment '$comment' (a stale Z.mp3 was taken?)"

# Without the encoder: the recording stays, nothing new appears in Media.
rm "$prefix/lame"
open_recording_panel 30 45 25
record_two_parts "без кодировщика"
wait_changed "$saving" lbHelp || fail "the window never told how the saving ended"
screenshot no-encoder >/dev/null
[ "$(ls "$prefix/Media" | wc -l)" = 1 ] || fail "a task appeared without an encoder"
[ -s "$(ls "$scratch"/note-*/test.wav | head -n 1)" ] || fail "the recording was not kept"
[ -f "$(ls "$scratch"/note-*/note.txt | head -n 1)" ] || fail "the note's journal was not kept"
kill -0 "$QUILL_PID" || fail "Quillmur ended"
echo "encoder trouble: ok"
