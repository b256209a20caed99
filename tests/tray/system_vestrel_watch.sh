#!/usr/bin/env bash
# Vestrel's minute watch on a fast clock (one fake minute per real second):
# the alarm player is started on the ticks where a task is due and not on the
# others, a badly named file raises one warning that is not stacked and does
# not stop the watch. No tray host runs here, so this is also the watch
# without a notification area.
#
# Everything is counted in the watcher's own ticks, never in real time: a
# busy machine delays the ticks, it does not change what each one does.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"
source "$QUILL_SOURCE_DIR/tests/tray/watchtimeline.sh"

has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
# Answers a message box with Enter once the box has the keyboard focus.
answer() {
    xdotool windowactivate "$1" 2>/dev/null || xdotool windowfocus "$1"
    wait_for 60 has_focus "$1" || fail "the message box did not get the keyboard focus"
    xdotool key Return
}
no_warning() { [ "$(count_windows '^Ошибка$')" -eq 0 ]; }
# Whether the warning window $1 is gone (a new one may have come since).
warning_closed() { ! xdotool search --onlyvisible --name '^Ошибка$' 2>/dev/null | grep -qx "$1"; }

FAKETIME_LIB=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
[ -r "$FAKETIME_LIB" ] || fail "libfaketime is not installed ($FAKETIME_LIB)"
command -v inotifywait >/dev/null || fail "inotifywait is not installed (inotify-tools)"
# Under AddressSanitizer: libfaketime is preloaded ahead of the runtime, and
# the allocator must not read the clock while libfaketime is still starting
# (it would wait on itself for ever).
export ASAN_OPTIONS="$ASAN_OPTIONS:verify_asan_link_order=0:allocator_release_to_os_interval_ms=-1"

pf=$(install_suite)
media="$pf/Media"
starts="$QT_WORK/tinkra-starts.log"
# Stand-in for the alarm player: logs each start with its arguments. It never
# reads its own file, so the only opening of Data/Tinkra is its start, which
# Vestrel makes within the tick that decided it (the start returns once the
# program runs).
rm -f "$pf/Data/Tinkra"
printf '#!/usr/bin/env -S sh -c '\''shift; echo "start $*" >>"$0"'\'' %s\n' "$starts" >"$pf/Data/Tinkra"
chmod +x "$pf/Data/Tinkra"
: >"$starts"

watch_timeline "$pf"

# How many alarms each tick started, for the ticks that began after line
# FROM and were over (the next tick had begun) by line TO: "1 1 0".
starts_per_tick() {
    timeline | awk -v a="$1" -v b="$2" '
        NR > b { exit }
        $0 == "tick" { if (on) out = out n " "; on = NR > a; n = 0 }
        $0 == "start" { n++ }
        END { sub(/ $/, "", out); print out }'
}
elapsed() { echo "$(date +%s%N) $1" | awk '{printf "%.1f", ($1 - $2) / 1e9}'; }

# 07.12.2026 14:28:30 at start: the first tick comes at 14:29:30, the task of
# 14:35:00 is due from the tick at 14:35:30 on, the 7th (6.5 fake minutes).
touch "$media/07.12.2026 14ч 35м 00.mp3"
touch "$media/08.12.2026 09ч 00м 00.mp3"     # tomorrow: never due today
touch "$media/заметка.mp3"                    # no task name
touch "$media/список.txt"                     # not a task file at all

t0=$(date +%s%N)
LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@2026-12-07 14:28:30 x60" start_program "$pf/Vestrel" -minimized
vestrel=$LAST_PID

note "the bad name is reported on the first tick"
box=$(wait_window '^Ошибка$' 60) || fail "no message about the badly named file"
# Shown at the start, the window would have come before the warning.
[ "$(count_windows '^Tray_Ola-Brenvik$')" -eq 0 ] || fail "-minimized still shows the window"

note "no alarm before 14:35, then one per tick"
first=$(wait_word start 0) || fail "the task of 14:35 never raised the alarm"
# Its fake clock started after t0, so a start less than 6.5 real seconds
# after t0 came before 14:35 by Vestrel's clock. A slow machine only makes
# it come later.
t=$(elapsed "$t0")
awk -v t="$t" 'BEGIN { exit !(t >= 6.4) }' || fail "alarm at ${t}s, before the task was due"
# Ticks never come early, so the 7th is at 14:35:30 or later: due by then.
n=$(timeline | head -n "$first" | grep -cx tick)
[ "$n" -le 7 ] || fail "the task of 14:35 raised the alarm only on tick $n"
wait_for 60 test -s "$starts" || fail "the alarm player's stand-in did not run"
grep -qx 'start -minimized' "$starts" || fail "alarm player not started with -minimized: $(cat "$starts")"
kill -0 "$vestrel" || fail "Vestrel ended"

note "the warning stays one window while the watch goes on"
t2=$(wait_count tick 2 "$first") || fail "the watch stopped ticking"
[ "$(starts_per_tick "$first" "$t2")" = 1 ] || fail "the watch stopped alerting while the warning is open"
[ "$(count_windows '^Ошибка$')" -eq 1 ] || fail "warnings are stacked: $(count_windows '^Ошибка$')"

note "the task is deleted: the alarms end"
rm "$media/07.12.2026 14ч 35м 00.mp3"
gone=$(wait_word "-07.12.2026 14ч 35м 00.mp3" "$t2") || fail "the removal was not seen"
# The tick under way may still alarm; the two after it read the folder
# without the task.
t3=$(wait_count tick 3 "$gone") || fail "the watch stopped ticking"
per=$(starts_per_tick "$gone" "$t3")
[ "$per" = "0 0" ] || fail "alarm without a due task (starts per tick: $per)"

note "yesterday's and an earlier task of today: one start per tick"
touch "$media/06.12.2026 10ч 00м 00.mp3" "$media/07.12.2026 08ч 15м 00.mp3"
added=$(wait_word "+07.12.2026 08ч 15м 00.mp3" "$t3") || fail "the new tasks were not seen"
t4=$(wait_count tick 5 "$added") || fail "the watch stopped ticking"
per=$(starts_per_tick "$added" "$t4")
[ "$per" = "1 1 1 1" ] || fail "not one start per tick with two due tasks (starts per tick: $per)"

note "the warning answered, the next tick warns again"
answer "$box"
wait_for 60 warning_closed "$box" || fail "the warning did not close"
box=$(wait_window '^Ошибка$' 60) || fail "no new warning after the first was answered"
# Two more ticks with it open add no second one.
line=$(wait_count tick 2 "$(timeline | wc -l)") || fail "the watch stopped ticking"
[ "$(count_windows '^Ошибка$')" -eq 1 ] || fail "more than one warning"

note "overdue names in capitals or going on after .mp3 alert like any other"
rm "$media/08.12.2026 09ч 00м 00.mp3" "$media/заметка.mp3" "$media/список.txt" \
    "$media/06.12.2026 10ч 00м 00.mp3" "$media/07.12.2026 08ч 15м 00.mp3"
line=$(wait_word "-07.12.2026 08ч 15м 00.mp3" "$line") || fail "the removals were not seen"
# Once a tick reads the empty folder, none will warn again: answered now,
# the warning stays away.
line=$(wait_count tick 1 "$line") || fail "the watch stopped ticking"
answer "$box"
wait_for 60 no_warning || fail "the warning did not close"
for name in "06.12.2026 09ч 00м 00.MP3" "06.12.2026 09ч 00м 00.mp3.bak"; do
    touch "$media/$name"
    line=$(wait_word "+$name" "$line") || fail "$name was not seen"
    next=$(wait_count tick 2 "$line") || fail "the watch stopped ticking"
    [ "$(starts_per_tick "$line" "$next")" = 1 ] || fail "no alarm for the overdue $name"
    rm "$media/$name"
    line=$(wait_word "-$name" "$next") || fail "the removal of $name was not seen"
done
# A warning about those names would have come on the ticks already over.
no_warning || fail "a readable task name raised the bad-name warning"

note "a name that is not UTF-8 is reported"
touch "$media/"$'06.12.2026 09\xf7 00\xec 00.mp3'
wait_window '^Ошибка$' 60 >/dev/null || fail "no message about a name that is not UTF-8"

note "never two alarms on one tick"
timeline | awk '$0 == "tick" { n = 0 } $0 == "start" && ++n > 1 { bad = 1 } END { exit bad }' ||
    fail "two alarms on one tick"
kill -0 "$vestrel" || fail "Vestrel ended"

note "SIGTERM ends the watcher the orderly way"
kill -TERM "$vestrel"
rc=0
wait "$vestrel" || rc=$?
[ "$rc" -eq 0 ] || fail "SIGTERM killed the watcher (exit status $rc)"
note "ok"
