#!/usr/bin/env bash
# Without a sound server nothing is recorded: no silent task pretends to be
# a saved note, and no scratch files stay behind.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"
source "$QUILL_SOURCE_DIR/tests/system/reminder.sh"

prefix=$(install_suite)
scratch="$HOME/.cache/Quillmur"
export PULSE_SERVER="unix:$QT_WORK/no-such-server"
start_quillmur_at_known_time "$prefix"
open_recording_panel 0 30 24
# The level monitor says at once that it cannot open the microphone; the
# user answers, and presses record all the same.
box=$(wait_window '^Audio Monitor - Error$' 60) || fail "no word that the microphone cannot be opened"
xdotool windowactivate --sync "$box" key Return
box_gone() { [ "$(count_windows '^Audio Monitor - Error$')" -eq 0 ]; }
wait_for 60 box_gone || fail "the monitor's message does not close"
click txtKoment
type_text "тишина"
click imgRecord_0 imgPausa_0
# Two seconds of recording time: nothing to hear, but time for a recorder
# that wrongly made a file of silence to make one.
sleep 2
# Stopped, the window tells that nothing was recorded.
click imgStop_0 lbHelp
screenshot no-sound-server >/dev/null
[ -z "$(ls -A "$prefix/Media")" ] || fail "a task appeared without a sound server: $(ls "$prefix/Media")"
[ -z "$(ls -A "$scratch" 2>/dev/null)" ] || fail "scratch files left: $(ls -R "$scratch")"
pgrep -f "$prefix/lame" >/dev/null && fail "the encoder was started"
kill -0 "$QUILL_PID" || fail "Quillmur ended"
echo "no sound server: ok"
