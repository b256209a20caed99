#!/usr/bin/env bash
# Settings item 13 on the installed suite, chosen twice: one autostart entry
# "Предупредить о назначенном задании" that starts Vestrel from the program
# folder, and one running watcher (the second start ends at its
# single-instance check).
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"

prefix=$(install_suite "$QT_WORK/Quill mur")
entry="$XDG_CONFIG_HOME/autostart/Предупредить о назначенном задании.desktop"

# Watchers started by the main program are not our children: find them by
# their executable and end them with the test. One find for all processes:
# a command per process takes seconds on a busy machine.
watcher_pids() {
    { find /proc -mindepth 2 -maxdepth 2 -name exe -lname "$prefix/Vestrel" -printf '%h\n' 2>/dev/null ||
        true; } | sed 's|^/proc/||'
}
end_watchers() {
    local pid
    for pid in $(watcher_pids); do kill "$pid" 2>/dev/null || true; done
    cleanup
}
trap end_watchers EXIT

# Points at (x, y) of the window with a small move first, so the box sees the
# pointer arrive, then clicks. The server takes the moves and the click in
# this order.
click_at() {
    xdotool mousemove $((WX + $1 - 3)) $((WY + $2 - 3)) mousemove $((WX + $1)) $((WY + $2)) click 1
}

# What a part of the window shows: a digest of its pixels, and how much they
# vary (0 for a part of one colour).
region() { import -window root -crop "$3x$4+$((WX + $1))+$((WY + $2))" rgb:- | md5sum; }
varied() {
    import -window root -crop "$3x$4+$((WX + $1))+$((WY + $2))" +repage \
        -format '%[fx:standard_deviation > 0.01]' info:
}
# The hint line under the screen shows a text (it is of one colour when empty).
hint_shown() { [ "$(varied 58 370 212 23)" = 1 ]; }
# The two parts of the screen watched for its changes: the lowest quarter and
# the left of the highest, both still pictures until the mouse is on them
# (the animations are elsewhere).
low() { region 64 288 200 74; }
high() { region 64 68 100 74; }
changed() { [ "$("$1")" != "$2" ]; }

start_program "$prefix/Quillmur"
win=$(wait_window '^Quillmur$' 60) || fail "no Quillmur window"
window_geometry "$win"
# The count of past tasks comes last in the start-up, after the first frame.
wait_for 60 hint_shown || fail "the start-up did not finish"

# The settings panel: menu button, menu item "Настройки" (the lowest quarter
# of the screen), then item 13, whose band is pixel rows 138 to 190 of the
# settings box at the screen's corner (64, 68). Each click waits for the
# screen to answer the one before.
low0=$(low)
high0=$(high)
click_at 78 48
wait_for 60 changed low "$low0" || fail "the menu did not open"
wait_for 60 changed high "$high0" || fail "the menu did not open"
# Both parts show the menu: this is the menu's own picture.
high1=$(high)
click_at 164 328
wait_for 60 changed high "$high1" || fail "the settings panel did not open"
click_at 164 233
screenshot autostart_first >/dev/null

wait_for 60 test -f "$entry" || fail "no autostart entry after the first click"
one_watcher() { [ "$(watcher_pids | wc -l)" = 1 ]; }
wait_for 60 one_watcher || fail "the watcher was not started"

# The same item again, 54 pixels away: never taken for a double-click.
click_at 110 233
# The second watcher says "Программа уже запущена!" and ends after OK.
box=$(wait_window '^Vestrel$' 60) || fail "the second watcher showed no message"
screenshot autostart_second >/dev/null
window_geometry "$box"
xdotool mousemove $((WX + WW - 40)) $((WY + WH - 22)) click 1
wait_for 60 one_watcher || fail "not exactly one watcher runs: $(watcher_pids | wc -l)"

[ "$(find "$XDG_CONFIG_HOME/autostart" -type f | wc -l)" = 1 ] || fail "more than one entry"
grep -qx 'Name=Предупредить о назначенном задании' "$entry" || fail "wrong Name: $(cat "$entry")"
grep -qxF "Exec=\"$prefix/Vestrel\"" "$entry" || fail "wrong Exec: $(cat "$entry")"
grep -qxF "Path=$prefix" "$entry" || fail "wrong Path: $(cat "$entry")"
grep -q '^Icon=/' "$entry" || fail "no Icon: $(cat "$entry")"
kill -0 "$LAST_PID" || fail "Quillmur ended"
echo "autostart: ok"
