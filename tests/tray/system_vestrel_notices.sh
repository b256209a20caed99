#!/usr/bin/env bash
# Vestrel's desktop notices through a real notification server (dunst on a
# session bus of the test's own, drawing on the Xvfb), on a fast clock (one
# fake minute per real second): one notice per due task with its comment,
# updated in place tick after tick; its buttons open the main program, play
# the note and snooze the task; a task deleted or snoozed has its notice
# withdrawn; the setting turns notices off; without a server the watch is
# as it always was.
#
# The watch is followed in its own ticks, never in real time: each tick opens
# Media/ to read the names, each alarm opens Data/Tinkra to run it.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"
source "$QUILL_SOURCE_DIR/tests/tray/watchtimeline.sh"

for tool in dunst dunstctl dbus-daemon inotifywait iconv; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done
FAKETIME_LIB=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
[ -r "$FAKETIME_LIB" ] || fail "libfaketime is not installed ($FAKETIME_LIB)"
# As in the watch's test: libfaketime preloaded ahead of AddressSanitizer.
export ASAN_OPTIONS="$ASAN_OPTIONS:verify_asan_link_order=0:allocator_release_to_os_interval_ms=-1"

pf=$(install_suite)
media="$pf/Media"
opened="$QT_WORK/quillmur-starts.log"
played="$QT_WORK/tinkra-starts.log"
# Stand-ins for the main program and the alarm player: each start is logged.
# The player's never reads its own file, so opening Data/Tinkra is its start.
rm -f "$pf/Quillmur" "$pf/Data/Tinkra"
printf '#!/bin/sh\necho "start $*" >> "%s"\n' "$opened" >"$pf/Quillmur"
printf '#!/usr/bin/env -S sh -c '\''shift; echo "start $*" >>"$0"'\'' %s\n' "$played" >"$pf/Data/Tinkra"
chmod +x "$pf/Quillmur" "$pf/Data/Tinkra"
: >"$opened"
: >"$played"

# A task file with an ID3v1 comment (Windows-1251, as the main program writes it).
task() {
    {
        printf 'not really sound'
        printf 'TAG%-30s%-30s%-30s2026' Title Artist Ola-Brenvik
        { printf '%s' "$2" | iconv -f UTF-8 -t CP1251; head -c 30 /dev/zero; } | head -c 30
        printf '\014'
    } >"$media/$1"
}

# The bus starts no service by itself: the notification server is there
# exactly while the test runs it.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$QT_WORK/bus"
cat >"$QT_WORK/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>$DBUS_SESSION_BUS_ADDRESS</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
start_program "$(command -v dbus-daemon)" --config-file="$QT_WORK/bus.conf" --nofork --nopidfile
wait_for 30 test -S "$QT_WORK/bus" || fail "no session bus"

# dunst logs every notice it shows or updates, one line each:
# id|summary|body (lines joined by /)|icon|urgency. Its context menu is
# answered by a script that picks the button named in $QT_WORK/want.
shown="$QT_WORK/shown.txt"
: >"$shown"
cat >"$QT_WORK/shown.sh" <<EOF
#!/bin/sh
printf '%s|%s|%s|%s|%s\n' "\$DUNST_ID" "\$DUNST_SUMMARY" "\$(printf '%s' "\$DUNST_BODY" | tr '\n' /)" \
    "\$DUNST_ICON_PATH" "\$DUNST_URGENCY" >>"$shown"
EOF
cat >"$QT_WORK/menu.sh" <<EOF
#!/bin/sh
cat >"$QT_WORK/menu.txt"
grep -m 1 -F "\$(cat "$QT_WORK/want")" "$QT_WORK/menu.txt"
EOF
chmod +x "$QT_WORK/shown.sh" "$QT_WORK/menu.sh"
cat >"$QT_WORK/dunstrc" <<EOF
[global]
    font = DejaVu Sans 11
    dmenu = $QT_WORK/menu.sh
    always_run_script = true
[log]
    summary = "*"
    script = $QT_WORK/shown.sh
EOF
start_program "$(command -v dunst)" -conf "$QT_WORK/dunstrc"
dunst_pid=$LAST_PID
server_up() { dunstctl is-paused >/dev/null 2>&1; }
wait_for 60 server_up || fail "dunst did not start"

on_screen() { echo $(($(dunstctl count displayed) + $(dunstctl count waiting))); }
# Presses a notice's button through dunst's own menu.
press() {
    echo "$1" >"$QT_WORK/want"
    rm -f "$QT_WORK/menu.txt"
    dunstctl context
    wait_for 30 test -s "$QT_WORK/menu.txt" || fail "dunst showed no menu for '$1'"
    grep -qF "$1" "$QT_WORK/menu.txt" || fail "no button '$1': $(cat "$QT_WORK/menu.txt")"
}
lines() { wc -l <"$1"; }
more_lines() { [ "$(lines "$1")" -ge "$2" ]; }

watch_timeline "$pf"
count_after() { timeline | awk -v w="$1" -v a="$2" 'NR > a && $0 == w { n++ } END { print n + 0 }'; }

# 07.12.2026 14:28:30 at start; the first tick comes at 14:29:30, the task of
# 14:30 is due from the second.
bread="07.12.2026 14ч 30м 00.mp3"
task "$bread" "Купить_хлеб_&_молоко"
LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@2026-12-07 14:28:30 x60" start_program "$pf/Vestrel" -minimized
vestrel=$LAST_PID

note "the due task's notice: its comment, its time, the suite's icon, critical"
wait_for 60 test -s "$shown" || fail "no notice for the due task"
IFS='|' read -r id summary body icon urgency <"$shown"
[ "$summary" = "Есть напоминание" ] || fail "summary: $summary"
# The body goes as markup: the & comes escaped (and is drawn as &).
[ "$body" = "Купить хлеб &amp; молоко/07.12.2026 14:30" ] || fail "body: $body"
[ "$icon" = "$pf/Data/quillmur.png" ] || fail "icon: $icon"
[ "$urgency" = CRITICAL ] || fail "urgency: $urgency"
screenshot notification >/dev/null

note "three ticks: the same notice updated, never a second one"
wait_for 60 more_lines "$shown" 3 || fail "the notice was not updated on the next ticks"
[ "$(cut -d'|' -f1 "$shown" | sort -u)" = "$id" ] || fail "more than one notice: $(cat "$shown")"
[ "$(on_screen)" -eq 1 ] || fail "$(on_screen) notices on the screen"
# The alarm sounds on those ticks as it always did.
[ "$(count_after start 0)" -ge 3 ] || fail "the alarm did not sound on each tick"

note "Открыть opens the main program"
press "Открыть"
wait_for 60 test -s "$opened" || fail "Открыть did not open Quillmur"
[ "$(cat "$opened")" = "start " ] || fail "Quillmur started as: $(cat "$opened")"

note "Прослушать plays the note"
press "Прослушать"
played_note() { grep -qxF "start --note $media/$bread" "$played"; }
wait_for 60 played_note || fail "the note was not played: $(sort -u "$played")"

note "Отложить на 10 минут moves the task and withdraws its notice"
press "Отложить на 10 минут"
moved=$(wait_word "-$bread" 0) || fail "the task was not moved"
later=$(ls "$media")
# Snoozed at 14:30:30 or later by Vestrel's clock: due again at 14:40:30 or
# later, the minute's name with any free second.
[[ "$later" =~ ^07\.12\.2026\ ([0-9]{2})ч\ ([0-9]{2})м\ ([0-9]{2})\.mp3$ ]] || fail "moved to: $later"
hour=${BASH_REMATCH[1]} minute=${BASH_REMATCH[2]}
[ $((10#$hour * 3600 + 10#$minute * 60 + 10#${BASH_REMATCH[3]})) -ge $((14 * 3600 + 40 * 60 + 30)) ] ||
    fail "moved only to $later"
wait_for 60 eval '[ "$(on_screen)" -eq 0 ]' || fail "the snoozed task's notice stayed"
# Three readings of Media/ after the move (a tick and more) before the task
# of 14:40 is due again: no alarm, no notice (a critical one stays until
# withdrawn, so one shown would be seen).
wait_count tick 3 "$moved" >/dev/null || fail "the watch stopped ticking"
[ "$(count_after start "$moved")" -eq 0 ] || fail "the snoozed task still raised the alarm"
[ "$(on_screen)" -eq 0 ] || fail "the snoozed task was notified again"

note "the snoozed task comes back at its new time, with the same comment"
back() { grep -qF "|Купить хлеб &amp; молоко/07.12.2026 $hour:$minute|" "$shown"; }
wait_for 60 back || fail "no notice once the snoozed task was due: $(tail -n 1 "$shown")"

note "the task deleted: its notice is withdrawn"
rm "$media/$later"
wait_for 60 eval '[ "$(on_screen)" -eq 0 ]' || fail "the deleted task's notice stayed"

note "notices turned off: the shown one goes, the alarm stays"
call="07.12.2026 09ч 00м 00.mp3"
task "$call" "Позвонить_маме"
wait_for 60 grep -qF "|Позвонить маме/07.12.2026 09:00|" "$shown" || fail "no notice for the new task"
# Written whole: a tick never reads half the file.
echo "notifications=off" >"$pf/Data/options.new" && mv "$pf/Data/options.new" "$pf/Data/options.txt"
wait_for 60 eval '[ "$(on_screen)" -eq 0 ]' || fail "the notice stayed with notices off"
wait_count start 3 "$(timeline | wc -l)" >/dev/null || fail "no alarm with notices off"
[ "$(on_screen)" -eq 0 ] || fail "a notice with notices off"

note "without a notification server: one reading and one alarm a tick, nothing said"
rm "$pf/Data/options.txt"
kill -TERM "$vestrel"
wait "$vestrel" || fail "Vestrel did not end cleanly"
kill "$dunst_pid"
wait "$dunst_pid" || true
LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@2026-12-07 14:28:30 x60" start_program "$pf/Vestrel" -minimized
vestrel=$LAST_PID
from=$(wait_word start "$(timeline | wc -l)") || fail "no alarm without a notification server"
said=$(stat -c %s "$QT_WORK/Vestrel.log")
to=$(wait_count start 3 "$from") || fail "the alarms stopped without a notification server"
per=$(timeline | awk -v a="$from" -v b="$to" 'NR > a && NR <= b' | uniq -c | awk '{print $1 $2}' | xargs)
[ "$per" = "1tick 1start 1tick 1start 1tick 1start" ] || fail "not as without notices: $per"
kill -0 "$vestrel" || fail "Vestrel ended"
[ "$(stat -c %s "$QT_WORK/Vestrel.log")" -eq "$said" ] || fail "Vestrel said: $(cat "$QT_WORK/Vestrel.log")"
note "ok"
