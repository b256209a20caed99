#!/usr/bin/env bash
# A second Quillmur says "Программа уже запущена!" and ends; the first runs on.
# A kill or a logout ends a second copy's message at once, Quillmur's and
# Vestrel's alike.
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

# Signals while the message is up: each program as it runs a second time.
start_program "$prefix/Vestrel"
watcher=$LAST_PID
wait_window '^Tray_Ola-Brenvik$' >/dev/null || fail "no watcher"
for run in "Quillmur TERM" "Vestrel HUP" "Quillmur INT"; do
    read -r program signal <<<"$run"
    start_program "$prefix/$program"
    extra=$LAST_PID
    boxes() { [ "$(count_windows "^$program\$")" -ge "$1" ]; }
    case $program in
        Quillmur) wait_for 60 boxes 2 ;;
        *) wait_for 60 boxes 1 ;;
    esac || fail "the second $program showed no message box"
    kill -s "$signal" "$extra"
    wait_gone "$extra" 60 || fail "SIG$signal did not end the second $program's message"
done
kill -0 "$first" 2>/dev/null && kill -0 "$watcher" 2>/dev/null || fail "a first copy was disturbed"
echo "single instance: ok"
