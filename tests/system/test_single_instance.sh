#!/usr/bin/env bash
# A second Quillmur says "Программа уже запущена!" and ends; the first runs on.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"

prefix=$(install_suite)
start_program "$prefix/Quillmur"
first=$LAST_PID
wait_window '^Quillmur$' >/dev/null || fail "no first window"

start_program "$prefix/Quillmur"
second=$LAST_PID
two() { [ "$(count_windows '^Quillmur$')" -ge 2 ]; }
wait_for 60 two || fail "the second copy showed no message box"
box=$(xdotool search --onlyvisible --name '^Quillmur$' | while read -r id; do
    w=$(xwininfo -id "$id" | awk '/Width:/ {print $NF}')
    [ "$w" != 319 ] && echo "$id"
done | head -n 1)
[ -n "$box" ] || fail "message box not found"
screenshot single_instance >/dev/null
# Press the box's OK button with the mouse: there is no window manager to
# route keys to it.
window_geometry "$box"
xdotool mousemove $((WX + WW - 40)) $((WY + WH - 22)) click 1
wait_gone "$second" 60 || fail "the second copy did not end after its message"
kill -0 "$first" 2>/dev/null || fail "the first copy was disturbed"
[ "$(count_windows '^Quillmur$')" = 1 ] || fail "windows left over"
echo "single instance: ok"
