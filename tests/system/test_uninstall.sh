#!/usr/bin/env bash
# Removing the suite: install, make a reminder, start the watcher at log-on
# from the settings, close the window, uninstall. The reminder and the saved
# picture stay and nothing else of the suite does; --purge removes them only
# after "yes" on a terminal.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"
source "$QUILL_SOURCE_DIR/tests/system/reminder.sh"
uninstall="$QUILL_SOURCE_DIR/tools/uninstall.sh"

prefix=$(install_suite)
# The watcher is started detached by Quillmur: end it with the test too.
trap 'kill $(pgrep -f "^$prefix/Vestrel") 2>/dev/null || true; cleanup' EXIT
start_quillmur_at_known_time "$prefix"
open_recording_panel 45 15 24
start_recording
mic_say_heard "Купить хлеб."
click imgStop_0 imgStop_0
task=$(wait_for_task "$prefix" 0) || fail "no task file in Media"
convert -size 200x300 xc:navy "BMP3:$prefix/Picture/07.bmp"

# Settings, fourth item: the autostart entry, and the watcher starts.
click GifCtl12 # the menu is in front already after saving
click 'picMeny#3' picWibora
read -r x y <<<"$(at picWibora)"
click_at "$x" $((y - 150 + 165))
entry="$HOME/.config/autostart/Предупредить о назначенном задании.desktop"
started() { [ -f "$entry" ] && pgrep -f "^$prefix/Vestrel" >/dev/null; }
wait_for 60 started || true
[ -f "$entry" ] || fail "no autostart entry"
pgrep -f "^$prefix/Vestrel" >/dev/null || fail "the watcher did not start"

"$uninstall" "$prefix" >"$QT_WORK/refused.log" 2>&1 && fail "uninstalled while Quillmur runs"
grep -q "close it first" "$QT_WORK/refused.log" || fail "no reason given: $(cat "$QT_WORK/refused.log")"
[ -x "$prefix/Quillmur" ] || fail "a refused uninstall removed the program"
click GifCtl10
wait_gone "$QUILL_PID" 60 || fail "Quillmur did not close"

"$uninstall" "$prefix" >"$QT_WORK/uninstall.log" 2>&1 || fail "uninstall failed: $(cat "$QT_WORK/uninstall.log")"
cat "$QT_WORK/uninstall.log"
grep -qF "$prefix/Media" "$QT_WORK/uninstall.log" || fail "does not say where the reminders are"
[ -s "$prefix/Media/$task" ] || fail "the reminder was removed"
[ -s "$prefix/Picture/07.bmp" ] || fail "the saved picture was removed"
[ "$(ls -A "$prefix" | tr '\n' ' ')" = "Media Picture " ] || fail "left in the program folder: $(ls -A "$prefix")"
pgrep -f "^$prefix/" >/dev/null && fail "a program of the suite still runs"
[ ! -e "$HOME/.cache/Quillmur" ] || fail "the scratch folder is still there"
# The launcher, the listing and the autostart entry all named the folder.
left=$(grep -rlF "$prefix" "$QT_WORK" --exclude-dir=Quillmur --exclude='*.log' || true)
[ -z "$left" ] || fail "still naming the program folder: $left"

# --purge: refused without a terminal, kept on any answer but yes.
"$uninstall" --purge "$prefix" </dev/null >/dev/null 2>&1 && fail "purged without a terminal"
script -qec "'$uninstall' --purge '$prefix'" /dev/null <<<"no" >/dev/null && fail "purged on no"
[ -s "$prefix/Media/$task" ] || fail "the reminder was removed without yes"
script -qec "'$uninstall' --purge '$prefix'" /dev/null <<<"yes" >"$QT_WORK/purge.log" ||
    fail "purge failed: $(cat "$QT_WORK/purge.log")"
[ ! -e "$prefix" ] || fail "purge left $(ls -A "$prefix")"
echo "uninstall: ok"
