#!/usr/bin/env bash
# Start-up applies the sound defaults to the sound server's mixer and the
# exit button puts back what start-up found.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"

volume() { pactl "get-$1-volume" "$2" | awk 'NR == 1 {for (i = 1; i <= NF; i++) if ($i ~ /%$/) {sub("%", "", $i); print $i; exit}}'; }
mute() { pactl "get-$1-mute" "$2" | awk '{print $2}'; }

pactl set-sink-volume @DEFAULT_SINK@ 30%
pactl set-sink-mute @DEFAULT_SINK@ 0
pactl set-source-volume @DEFAULT_SOURCE@ 40%
pactl set-source-mute @DEFAULT_SOURCE@ 1

prefix=$(install_suite)
start_program "$prefix/Quillmur"
quill=$LAST_PID
win=$(wait_window '^Quillmur$') || fail "no window"
sleep 1
note "after start: speakers $(volume sink @DEFAULT_SINK@) %, microphone $(volume source @DEFAULT_SOURCE@) % muted $(mute source @DEFAULT_SOURCE@)"
[ "$(volume sink @DEFAULT_SINK@)" = 50 ] || fail "speakers below half are not set to 50 %"
[ "$(volume source @DEFAULT_SOURCE@)" = 100 ] || fail "microphone not at 100 %"
[ "$(mute source @DEFAULT_SOURCE@)" = no ] || fail "microphone still muted"

window_geometry "$win"
map=$("$QUILL_BUILD_DIR/tools/widgetmap" "$prefix" 2026-12-07 2>/dev/null) || fail "no widget map"
read -r x y _ <<<"$(awk '$1 == "GifCtl10" {print $2, $3}' <<<"$map")"
xdotool mousemove $((WX + x)) $((WY + y)) sleep 0.3 click 1
wait_gone "$quill" 10 || fail "the exit button did not end the program"
note "after exit: speakers $(volume sink @DEFAULT_SINK@) %, microphone $(volume source @DEFAULT_SOURCE@) % muted $(mute source @DEFAULT_SOURCE@)"
v=$(volume sink @DEFAULT_SINK@)
[ "$v" -ge 29 ] && [ "$v" -le 31 ] || fail "speakers not put back (now $v %)"
v=$(volume source @DEFAULT_SOURCE@)
[ "$v" -ge 39 ] && [ "$v" -le 41 ] || fail "microphone not put back (now $v %)"
[ "$(mute source @DEFAULT_SOURCE@)" = yes ] || fail "microphone mute not put back"
echo "mixer restore: ok"
