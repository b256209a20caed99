#!/usr/bin/env bash
# Vestrel's minute watch on a fast clock (one fake minute per real second):
# the alarm player is started on the ticks where a task is due and not on the
# others, a badly named file raises one warning that is not stacked and does
# not stop the watch. No tray host runs here, so this is also the watch
# without a notification area.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"

# Answers a message box with Enter.
answer() { xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus "$1"; sleep 0.2; xdotool key Return; }

FAKETIME_LIB=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
[ -r "$FAKETIME_LIB" ] || fail "libfaketime is not installed ($FAKETIME_LIB)"
# Under AddressSanitizer: libfaketime is preloaded ahead of the runtime, and
# the allocator must not read the clock while libfaketime is still starting
# (it would wait on itself for ever).
export ASAN_OPTIONS="$ASAN_OPTIONS:verify_asan_link_order=0:allocator_release_to_os_interval_ms=-1"

pf=$(install_suite)
media="$pf/Media"
starts="$QT_WORK/tinkra-starts.log"
# Stand-in for the alarm player: logs each start with its arguments.
rm -f "$pf/Data/Tinkra"
printf '#!/bin/sh\necho "start $*" >> "%s"\n' "$starts" >"$pf/Data/Tinkra"
chmod +x "$pf/Data/Tinkra"
: >"$starts"

count() { wc -l <"$starts"; }
# Waits until the start count grows past $1; fails after $2 seconds.
wait_start_after() {
    for _ in $(seq 1 $(($2 * 10))); do
        [ "$(count)" -gt "$1" ] && return 0
        sleep 0.1
    done
    return 1
}
elapsed() { echo "$(date +%s%N) $1" | awk '{printf "%.1f", ($1 - $2) / 1e9}'; }

# 07.12.2026 14:28:30 at start: the first tick comes at 14:29:30, the task of
# 14:35:00 is due from the tick at 14:35:30 on (6.5 fake minutes = 6.5 s).
touch "$media/07.12.2026 14ч 35м 00.mp3"
touch "$media/08.12.2026 09ч 00м 00.mp3"     # tomorrow: never due today
touch "$media/заметка.mp3"                    # no task name
touch "$media/список.txt"                     # not a task file at all

t0=$(date +%s%N)
LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@2026-12-07 14:28:30 x60" start_program "$pf/Vestrel" -minimized
vestrel=$LAST_PID

note "the bad name is reported on the first tick"
box=$(wait_window '^Ошибка$' 10) || fail "no message about the badly named file"
[ "$(count)" -eq 0 ] || fail "alarm started before any task was due"
[ "$(count_windows '^Tray_Ola-Brenvik$')" -eq 0 ] || fail "-minimized still shows the window"

note "no alarm before 14:35, then one per tick"
wait_start_after 0 15 || fail "the task of 14:35 never raised the alarm"
t=$(elapsed "$t0")
awk -v t="$t" 'BEGIN { exit !(t >= 6.4) }' || fail "alarm at ${t}s, before the task was due"
grep -qx 'start -minimized' "$starts" || fail "alarm player not started with -minimized: $(cat "$starts")"
kill -0 "$vestrel" || fail "Vestrel ended"

note "the warning stays one window while the watch goes on"
n=$(count)
wait_start_after $((n + 1)) 10 || fail "the watch stopped alerting while the warning is open"
[ "$(count_windows '^Ошибка$')" -eq 1 ] || fail "warnings are stacked: $(count_windows '^Ошибка$')"

note "the task is deleted: the alarms end"
rm "$media/07.12.2026 14ч 35м 00.mp3"
sleep 1.5
n=$(count)
sleep 3
[ "$(count)" -eq "$n" ] || fail "alarm without a due task ($(count) > $n)"

note "yesterday's and an earlier task of today: one start per tick"
touch "$media/06.12.2026 10ч 00м 00.mp3" "$media/07.12.2026 08ч 15м 00.mp3"
wait_start_after "$n" 5 || fail "past tasks raise no alarm"
n=$(count)
sleep 4
more=$(($(count) - n))
[ "$more" -ge 3 ] && [ "$more" -le 5 ] || fail "$more alarm starts in 4 ticks with two due tasks"

note "the warning answered, the next tick warns again"
answer "$box"
for _ in $(seq 1 30); do [ "$(count_windows '^Ошибка$')" -eq 0 ] && break; sleep 0.1; done
wait_window '^Ошибка$' 5 >/dev/null || fail "no new warning after the first was answered"
[ "$(count_windows '^Ошибка$')" -eq 1 ] || fail "more than one warning"

note "overdue names in capitals or going on after .mp3 alert like any other"
answer "$(wait_window '^Ошибка$' 5)"
rm -f "$media"/*
for _ in $(seq 1 30); do [ "$(count_windows '^Ошибка$')" -eq 0 ] && break; sleep 0.1; done
for name in "06.12.2026 09ч 00м 00.MP3" "06.12.2026 09ч 00м 00.mp3.bak"; do
    touch "$media/$name"
    n=$(count)
    wait_start_after "$n" 5 || fail "no alarm for the overdue $name"
    rm "$media/$name"
done
[ "$(count_windows '^Ошибка$')" -eq 0 ] || fail "a readable task name raised the bad-name warning"

note "a name that is not UTF-8 is reported"
touch "$media/"$'06.12.2026 09\xf7 00\xec 00.mp3'
wait_window '^Ошибка$' 5 >/dev/null || fail "no message about a name that is not UTF-8"

kill -0 "$vestrel" || fail "Vestrel ended"

note "SIGTERM ends the watcher the orderly way"
kill -TERM "$vestrel"
rc=0
wait "$vestrel" || rc=$?
[ "$rc" -eq 0 ] || fail "SIGTERM killed the watcher (exit status $rc)"
note "ok"
