#!/usr/bin/env bash
# The installed Quillmur shows its 319 x 548 device window centred, cut to its
# rounded outline: the window's corners show the screen behind it.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"

prefix=$(install_suite)
start_program "$prefix/Quillmur"
win=$(wait_window '^Quillmur$' 60) || fail "no Quillmur window"
MAP=$("$QUILL_BUILD_DIR/tools/widgetmap" "$prefix" 2026-12-07 2>/dev/null) || fail "no widget map"
source "$QUILL_SOURCE_DIR/tests/system/reminder.sh"
wait_drawn "$win" || fail "the window was never drawn"
note "window at $WX,$WY size ${WW}x$WH"
[ "$WW" = 319 ] && [ "$WH" = 548 ] || fail "window is ${WW}x$WH, not 319x548"

# An ARGB window, its outside clear: where a compositor ignores the shape,
# the corners still show what is behind.
xwininfo -id "$win" | grep -q 'Depth: 32' || fail "not an ARGB window: $(xwininfo -id "$win" | grep Depth)"

shot=$(screenshot window_shape)
root=$(pixel "$shot" 2 2)
for corner in "$WX $WY" "$((WX + WW - 1)) $WY" "$WX $((WY + WH - 1))" "$((WX + WW - 1)) $((WY + WH - 1))"; do
    set -- $corner
    [ "$(pixel "$shot" "$1" "$2")" = "$root" ] || fail "corner $1,$2 is not cut away"
done
# Inside the outline the device is drawn (not the bare screen).
inside=$(pixel "$shot" $((WX + 60)) $((WY + 20)))
[ "$inside" != "$root" ] || fail "the device picture is missing"
# The centre of the screen is inside the window: it is centred.
sw=$(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1]}')
centre=$((WX + WW / 2))
[ $((centre - sw / 2)) -le 2 ] && [ $((sw / 2 - centre)) -le 2 ] || fail "window not centred"
kill -0 "$LAST_PID" || fail "Quillmur ended"
echo "window shape: ok"
