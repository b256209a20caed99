#!/usr/bin/env bash
# The microphone check of the troubleshooting guide, on whichever sound server
# the test command runs: speech is heard, silence is told apart, and no sound
# server at all is said plainly.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"
check="$QUILL_SOURCE_DIR/tools/check-microphone.sh"

mic_listen_start
listeners() { pactl list short source-outputs | wc -l; }
before=$(listeners)
# Speak once the check records (a new listener on the microphone).
"$check" 8 >"$QT_WORK/check.out" 2>&1 &
check_pid=$!
recording() { [ "$(listeners)" -gt "$before" ]; }
wait_for 60 recording || fail "the check does not record: $(cat "$QT_WORK/check.out")"
from=$(raw_size "$QT_WORK/mic.raw")
mic_say "проверка микрофона раз два три"
wait "$check_pid" || fail "speech not heard: $(cat "$QT_WORK/check.out")"
out=$(cat "$QT_WORK/check.out")
grep -q '^The microphone is heard.$' <<<"$out" || fail "unexpected report: $out"

# Once the speech has passed (the microphone has been quiet for a while),
# the check hears only silence.
raw_wait_loud "$QT_WORK/mic.raw" "$from" 0.05 60 || fail "the microphone never spoke"
raw_wait_quiet "$QT_WORK/mic.raw" "$RAW_AT" 2 0.01 60 || fail "the microphone does not fall quiet"
rc=0; out=$("$check" 1) || rc=$?
[ "$rc" = 1 ] || fail "silence gave status $rc: $out"

rc=0; out=$(PULSE_SERVER="unix:$QT_WORK/nothing-here" "$check" 1) || rc=$?
[ "$rc" = 2 ] || fail "no server gave status $rc: $out"
grep -q 'none answers' <<<"$out" || fail "no server not named: $out"
echo "microphone check: ok"
