#!/usr/bin/env bash
# The microphone check of the troubleshooting guide, on whichever sound server
# the test command runs: speech is heard, silence is told apart, and no sound
# server at all is said plainly.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"
check="$QUILL_SOURCE_DIR/tools/check-microphone.sh"

mic_say "проверка микрофона раз два три"
out=$("$check" 4) || fail "speech not heard: $out"
grep -q '^The microphone is heard.$' <<<"$out" || fail "unexpected report: $out"

# Once the speech has been fed (the queue is empty) and the FIFO's buffer
# (up to 1.5 s of sound) has drained, the microphone hears only silence.
for _ in $(seq 1 100); do ls "$QUILL_MIC_QUEUE"/*.raw >/dev/null 2>&1 || break; sleep 0.1; done
sleep 2
rc=0; out=$("$check" 1) || rc=$?
[ "$rc" = 1 ] || fail "silence gave status $rc: $out"

rc=0; out=$(PULSE_SERVER="unix:$QT_WORK/nothing-here" "$check" 1) || rc=$?
[ "$rc" = 2 ] || fail "no server gave status $rc: $out"
grep -q 'none answers' <<<"$out" || fail "no server not named: $out"
echo "microphone check: ok"
