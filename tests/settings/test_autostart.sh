#!/usr/bin/env bash
# Settings item 13 on the installed suite, chosen twice: one autostart entry
# "Предупредить о назначенном задании" that starts Vestrel from the program
# folder, and one running watcher (the second start ends at its
# single-instance check).
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"

prefix=$(install_suite "$QT_WORK/Quill mur")
entry="$XDG_CONFIG_HOME/autostart/Предупредить о назначенном задании.desktop"

# Watchers started by the main program are not our children: find them by
# their executable and end them with the test.
watcher_pids() {
    local p
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/exe" 2>/dev/null)" = "$prefix/Vestrel" ] && echo "${p#/proc/}"
    done
    return 0
}
end_watchers() {
    local pid
    for pid in $(watcher_pids); do kill "$pid" 2>/dev/null || true; done
    cleanup
}
trap end_watchers EXIT

# Points at (x, y) of the window with a small move first, so the box sees the
# pointer arrive, then clicks.
click_at() {
    xdotool mousemove $((WX + $1 - 3)) $((WY + $2 - 3))
    sleep 0.2
    xdotool mousemove $((WX + $1)) $((WY + $2))
    sleep 0.2
    xdotool click 1
    sleep 0.5
}

start_program "$prefix/Quillmur"
win=$(wait_window '^Quillmur$') || fail "no Quillmur window"
sleep 1
window_geometry "$win"

# The settings panel: menu button, menu item "Настройки" (the lowest quarter
# of the screen), then item 13, whose band is pixel rows 138 to 190 of the
# settings box at the screen's corner (64, 68).
click_at 78 48
click_at 164 328
click_at 164 233
screenshot autostart_first >/dev/null

for _ in $(seq 1 50); do [ -f "$entry" ] && break; sleep 0.1; done
[ -f "$entry" ] || fail "no autostart entry after the first click"
for _ in $(seq 1 100); do [ -n "$(watcher_pids)" ] && break; sleep 0.1; done
[ "$(watcher_pids | wc -l)" = 1 ] || fail "the watcher was not started"

click_at 164 233
# The second watcher says "Программа уже запущена!" and ends after OK.
box=$(wait_window '^Vestrel$' 20) || fail "the second watcher showed no message"
screenshot autostart_second >/dev/null
window_geometry "$box"
xdotool mousemove $((WX + WW - 40)) $((WY + WH - 22)) click 1
for _ in $(seq 1 100); do [ "$(watcher_pids | wc -l)" = 1 ] && break; sleep 0.1; done
[ "$(watcher_pids | wc -l)" = 1 ] || fail "not exactly one watcher runs: $(watcher_pids | wc -l)"

[ "$(find "$XDG_CONFIG_HOME/autostart" -type f | wc -l)" = 1 ] || fail "more than one entry"
grep -qx 'Name=Предупредить о назначенном задании' "$entry" || fail "wrong Name: $(cat "$entry")"
grep -qxF "Exec=\"$prefix/Vestrel\"" "$entry" || fail "wrong Exec: $(cat "$entry")"
grep -qxF "Path=$prefix" "$entry" || fail "wrong Path: $(cat "$entry")"
grep -q '^Icon=/' "$entry" || fail "no Icon: $(cat "$entry")"
kill -0 "$LAST_PID" || fail "Quillmur ended"
echo "autostart: ok"
