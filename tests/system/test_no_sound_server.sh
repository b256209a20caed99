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
click txtKoment
type_text "тишина"
click imgRecord_0
sleep 2
click imgStop_0
sleep 4
screenshot no-sound-server >/dev/null
[ -z "$(ls -A "$prefix/Media")" ] || fail "a task appeared without a sound server: $(ls "$prefix/Media")"
[ -z "$(ls -A "$scratch" 2>/dev/null)" ] || fail "scratch files left: $(ls -R "$scratch")"
pgrep -f "$prefix/lame" >/dev/null && fail "the encoder was started"
kill -0 "$QUILL_PID" || fail "Quillmur ended"
echo "no sound server: ok"
