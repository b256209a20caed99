#!/usr/bin/env bash
# Under a window manager (openbox): double clicks on the background picture
# reach it whole (the file dialog for animations opens every time), a click on
# the device leaves the window where it is, and dragging the device moves it.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"

if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
    command -v openbox >/dev/null || fail "openbox is not installed"
    start_program "$(command -v openbox)"
    moves() { xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_WM_MOVERESIZE; }
    wait_for 60 moves || true
fi
xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_WM_MOVERESIZE || fail "no window manager"

prefix=$(install_suite)
start_program "$prefix/Quillmur"
win=$(wait_window '^Quillmur$') || fail "no Quillmur window"
MAP=$("$QUILL_BUILD_DIR/tools/widgetmap" "$prefix" 2026-12-07 2>/dev/null) || fail "no widget map"
source "$QUILL_SOURCE_DIR/tests/system/reminder.sh"
wait_drawn "$win" || fail "the window was never drawn"

note "double clicks on the background picture"
for n in 1 2 3 4 5; do
    window_geometry "$win"
    xdotool mousemove $((WX + 64 + 60)) $((WY + 68 + 150)) click --repeat 2 --delay 100 1
    dialog=$(wait_window 'Ищем Графические файлы' 60) || fail "double click $n opened no dialog"
    xdotool windowactivate --sync "$dialog" key Escape
    no_dialog() { [ "$(count_windows 'Ищем Графические файлы')" -eq 0 ]; }
    wait_for 60 no_dialog || fail "the file dialog does not close"
done

note "a click on the device does not move the window"
window_geometry "$win"
x0=$WX y0=$WY
xdotool mousemove $((x0 + 20)) $((y0 + 250)) click 1
sleep 0.5 # time for a wrong move to happen: it must not
window_geometry "$win"
[ "$WX,$WY" = "$x0,$y0" ] || fail "a click moved the window to $WX,$WY"

note "dragging the device moves the window"
xdotool mousemove $((x0 + 20)) $((y0 + 250)) mousedown 1
for step in 4 8 12 16 20 30 40 50 60 70 80; do
    xdotool mousemove $((x0 + 20 + step)) $((y0 + 250 + step))
    sleep 0.1 # a hand's pace, not a wait for the window
done
xdotool mouseup 1
moved() { window_geometry "$win"; [ $((WX - x0)) -ge 40 ] && [ $((WY - y0)) -ge 40 ]; }
wait_for 60 moved || fail "the window went from $x0,$y0 to $WX,$WY"
kill -0 "$LAST_PID" || fail "Quillmur ended"
echo "window drag: ok"
