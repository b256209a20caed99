#!/usr/bin/env bash
# Quillmur's command line on the installed suite: a spoken note from
# espeak-ng added while the window is open (no display, sound server or lock
# needed), found by the window and played; listed as JSON; exported as an
# iCalendar file that a strict reader takes; a due task snoozed so that
# Vestrel stays quiet until its new moment; wrong commands refused.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"
source "$QUILL_SOURCE_DIR/tests/system/reminder.sh"

PY=/usr/bin/python3 # Debian's, where python3-icalendar lives
"$PY" -c 'import icalendar' 2>/dev/null || fail "python3-icalendar is not installed (tools/setup-deps.sh --test)"

prefix=$(install_suite)
media="$prefix/Media"
# The command line as a script would run it: no display, no sound server.
cli() { env -u DISPLAY -u PULSE_SERVER -u WAYLAND_DISPLAY "$prefix/Quillmur" "$@"; }
# The same at a given fake moment.
cli_at() { local at="$1"; shift; LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@$at" cli "$@"; }

start_quillmur_at_known_time "$prefix" # 07.12.2026 14:28:30; sets the faketime ASAN_OPTIONS
pactl set-sink-volume @DEFAULT_SINK@ 100%
pactl set-sink-mute @DEFAULT_SINK@ 0

note "--add of a spoken WAV while the window is open"
espeak-ng -v ru -w "$QT_WORK/say.wav" "Позвонить маме в девять часов"
task=$(cli_at "2026-12-07 14:29:10" --add "$QT_WORK/say.wav" --at "24.12.2026 09:15" \
    --comment "Позвонить маме") || fail "--add failed"
note "task: $task"
[ "$task" = "24.12.2026 09ч 15м 10.mp3" ] || fail "unexpected task name '$task'"
[ -f "$media/$task" ] || fail "no $task in Media"
info=$("$QUILL_BUILD_DIR/tools/mp3info" "$media/$task")
for field in 'version: "MPEG 2.0"' 'layer: "layer 3"' 'bitrate: "48Kbit"' 'frequency: "22050 Hz"'; do
    grep -qF "$field" <<<"$info" || fail "mp3info does not read $field: $info"
done
[ "$(tag_comment "$media/$task")" = "Позвонить_маме" ] || fail "tag comment is '$(tag_comment "$media/$task")'"
[ -z "$(ls -A "$HOME/.cache/Quillmur")" ] || fail "scratch files were left behind"
[ "$(count_windows 'Quillmur')" -eq 1 ] || fail "the command line opened a window or a message"
kill -0 "$QUILL_PID" || fail "the window ended"

note "the window lists it when the list is built again, and plays it"
monitor_start
click GifCtl12 'picMeny#0'
click 'picMeny#0' lstFiles
click lblToday3 lstFiles
click imgPusk
speakers_wait_loud 0.02 60 || fail "the window does not play the added task"
click imgStop2

note "--list --json round-trips it"
cli_at "2026-12-07 14:30:00" --list --json >"$QT_WORK/list.json" || fail "--list --json failed"
"$PY" - "$QT_WORK/list.json" "$task" <<'PYEOF' || fail "--list --json: $(cat "$QT_WORK/list.json")"
import json, sys
tasks = json.load(open(sys.argv[1], encoding="utf-8"))
assert isinstance(tasks, list) and len(tasks) == 1, tasks
t = tasks[0]
assert set(t) == {"file", "due", "state", "comment", "seconds", "repeat"}, t
assert t["repeat"] is None, t
assert t["file"] == sys.argv[2], t
# The local moment with its offset, as a reader of dates takes it.
from datetime import datetime
due = datetime.fromisoformat(t["due"])
assert due.utcoffset() is not None and due.replace(tzinfo=None) == datetime(2026, 12, 24, 9, 15, 10), t
assert t["state"] == "later", t
assert t["comment"] == "Позвонить_маме", t
assert isinstance(t["seconds"], int) and t["seconds"] >= 1, t
PYEOF
cli_at "2026-12-07 14:30:00" --list | grep -qF "24.12.2026 09:15:10  позже" || fail "--list: $(cli --list)"
# Output that cannot be written is a failure, told on stderr.
for args in "--list --json" "--export-ics -"; do
    status=0
    cli $args >/dev/full 2>"$QT_WORK/full.err" || status=$?
    [ "$status" = 2 ] && grep -q "не удалось записать вывод" "$QT_WORK/full.err" ||
        fail "$args > /dev/full: exit $status, $(cat "$QT_WORK/full.err")"
done

note "a repeating note made by --add: done for now from the window, on to tomorrow"
again=$(cli_at "2026-12-07 14:29:20" --add "$QT_WORK/say.wav" --at "07.12.2026 09:00" \
    --repeat daily --comment "Таблетки") || fail "--add --repeat failed"
[ "$again" = "07.12.2026 09ч 00м 20.mp3" ] || fail "unexpected task name '$again'"
sum=$(md5sum <"$media/$again")
click GifCtl12 'picMeny#0'
click 'picMeny#0' lstFiles
click lblToday0 lstFiles # the past tasks: the repeating one alone, due since 09:00
click imgSteret cmdNextTime
click cmdNextTime lstFiles
tomorrow="08.12.2026 09ч 00м 20.mp3"
wait_for 30 test -f "$media/$tomorrow" || fail "not moved on to tomorrow: $(ls "$media")"
[ ! -e "$media/$again" ] || fail "the done occurrence stayed"
[ "$(md5sum <"$media/$tomorrow")" = "$sum" ] || fail "the move changed the file's bytes"
cli_at "2026-12-07 14:30:00" --list --json | "$PY" -c '
import json, sys
t = [t for t in json.load(sys.stdin) if t["file"] == sys.argv[1]][0]
assert t["repeat"] == "daily" and t["comment"] == "Таблетки" and t["state"] == "later", t
' "$tomorrow" || fail "the moved task lost its rule or tag"
# It stays in Media for the watch below: not due until tomorrow, it never
# raises an alarm there.

note "--export-ics passes a strict reader"
touch "$media/заметка.mp3" # a bad name is left out
cli_at "2026-12-07 14:30:00" --export-ics "$QT_WORK/tasks.ics" || fail "--export-ics failed"
cli_at "2026-12-07 14:30:00" --export-ics - | cmp -s - "$QT_WORK/tasks.ics" || fail "'-' does not write the same calendar"
rm "$media/заметка.mp3"
"$PY" - "$QT_WORK/tasks.ics" "$task" <<'PYEOF' || fail "the calendar does not parse: $(cat "$QT_WORK/tasks.ics")"
import sys, datetime, icalendar
raw = open(sys.argv[1], "rb").read()
# RFC 5545: CRLF line ends, no line longer than 75 octets, UTF-8.
assert raw.endswith(b"\r\n") and raw.count(b"\n") == raw.count(b"\r\n"), "line ends"
for line in raw.split(b"\r\n"):
    assert len(line) <= 75, line
    line.decode("utf-8")
cal = icalendar.Calendar.from_ical(raw)
assert cal.name == "VCALENDAR" and str(cal["VERSION"]) == "2.0" and cal.get("PRODID")
events = [c for c in cal.walk() if c.name == "VEVENT"]
assert len(events) == 2, events
# The repeating note: at its time of day on the local clock, every day.
rep = [e for e in events if str(e["SUMMARY"]) == "Таблетки"][0]
assert rep["RRULE"]["FREQ"] == ["DAILY"], rep["RRULE"]
assert rep.decoded("DTSTART") == datetime.datetime(2026, 12, 8, 9, 0, 20), rep.decoded("DTSTART")
ev = [e for e in events if e is not rep][0]
for prop in ("UID", "DTSTAMP", "DTSTART", "SUMMARY"):
    assert prop in ev, prop
assert str(ev["SUMMARY"]) == "Позвонить_маме", ev["SUMMARY"]
start = ev.decoded("DTSTART")
local = datetime.datetime(2026, 12, 24, 9, 15, 10).astimezone()
assert start == local, (start, local)
alarms = [c for c in ev.walk() if c.name == "VALARM"]
assert len(alarms) == 1 and str(alarms[0]["ACTION"]) == "DISPLAY" and "DESCRIPTION" in alarms[0]
assert alarms[0].decoded("TRIGGER") == datetime.timedelta(0)
PYEOF

note "wrong commands: exit 1 and one line"
# refused MESSAGE ARGS...: exit status 1, one line naming the trouble.
refused() {
    local message="$1" rc=0; shift
    cli_at "2026-12-07 14:30:00" "$@" >"$QT_WORK/out.txt" 2>"$QT_WORK/err.txt" || rc=$?
    [ "$rc" -eq 1 ] || fail "'$*' exits with $rc"
    [ "$(wc -l <"$QT_WORK/err.txt")" -eq 1 ] || fail "'$*' says: $(cat "$QT_WORK/err.txt")"
    grep -q "^Quillmur: .*$message" "$QT_WORK/err.txt" || fail "'$*' says: $(cat "$QT_WORK/err.txt")"
    [ ! -s "$QT_WORK/out.txt" ] || fail "'$*' wrote to standard output"
}
refused "неизвестный параметр" --bogus
refused "после --add нужно значение" --add
refused "неверный срок" --add "$QT_WORK/say.wav" --at "32.12.2026 09:15"
refused "нет файла" --add "$QT_WORK/missing.wav" --at "24.12.2026 09:15"
refused "Этот день уже прошел" --add "$QT_WORK/say.wav" --at "06.12.2026 09:15"
refused "не звуковой файл" --add "$QT_WORK/list.json" --at "24.12.2026 09:15"
refused "--snooze" --snooze soon
[ "$(ls "$media" | grep -vxF "$tomorrow")" = "$task" ] || fail "a refused command changed Media: $(ls "$media")"
kill "$QUILL_PID"
wait "$QUILL_PID" 2>/dev/null || true

note "--snooze 10: Vestrel is quiet until the new moment"
starts="$QT_WORK/tinkra-starts.log"
rm -f "$prefix/Data/Tinkra"
# Stand-in for the alarm player: logs each start with the real time (the
# fake clock it inherits would start over at Vestrel's start moment).
cat >"$prefix/Data/Tinkra" <<STUB
#!/bin/sh
echo "start \$(env -u LD_PRELOAD date +%s.%N) \$*" >>"$starts"
STUB
chmod +x "$prefix/Data/Tinkra"
: >"$starts"
count() { wc -l <"$starts"; }
touch "$media/07.12.2026 14ч 00м 00.mp3" # due since half an hour
# One fake minute per real second; the first tick comes at 14:29:30.
t0=$(date +%s.%N)
LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@2026-12-07 14:28:30 x60" start_program "$prefix/Vestrel" -minimized
vestrel=$LAST_PID
two_alarms() { [ "$(count)" -ge 2 ]; }
wait_for 120 two_alarms || fail "the due task raises no alarm"
# Vestrel's clock is behind this one (it started no earlier than t0): the
# snooze's "now" is then no earlier than Vestrel's.
fake_now() {
    local s; s=$(date -d "2026-12-07 14:28:30" +%s)
    date -d "@$(awk -v t0="$t0" -v now="$(date +%s.%N)" -v s="$s" 'BEGIN {printf "%d", s + 60 * (now - t0)}')" \
        '+%Y-%m-%d %H:%M:%S'
}
asked=$(date +%s.%N)
at=$(fake_now)
moved=$(cli_at "$at" --snooze 10) || fail "--snooze failed"
snoozed=$(date +%s.%N)
note "at $at: $moved"
new=${moved##* -> }
[[ "$moved" == "07.12.2026 14ч 00м 00.mp3 -> "* ]] || fail "--snooze printed '$moved'"
[ -f "$media/$new" ] && [ ! -e "$media/07.12.2026 14ч 00м 00.mp3" ] || fail "the task was not renamed"
due=$(date -d "$(sed -E 's/^(..)\.(..)\.(....) (..)ч (..)м (..)\.mp3$/\3-\2-\1 \4:\5:\6/' <<<"$new")" +%s)
want=$(( $(date -d "$at" +%s) + 600 ))
[ "$due" -ge "$want" ] && [ "$due" -le $((want + 2)) ] || fail "snoozed to $new, not 10 minutes after $at"
[ "$(cli_at "$at" --list --json | "$PY" -c 'import json,sys; print(json.load(sys.stdin)[0]["state"])')" = today ] ||
    fail "the snoozed task is still listed as past"
# Vestrel's clock is no later than the snooze's "now", and runs 60 times
# faster than the real one: the new moment is at least 10 real seconds after
# that "now" was asked for. Nothing here waits for it by time; the alarm's
# starts are sorted by it.
new_moment=$(awk -v s="$asked" 'BEGIN {printf "%.3f", s + 600 / 60 - 0.1}')
came_back() { awk -v m="$new_moment" '$2 >= m {found = 1} END {exit !found}' "$starts"; }
wait_for 300 came_back || fail "no alarm once the snoozed moment came: $(cat "$starts")"
# One tick may have read the folder just before the rename; every other
# alarm after the snooze comes at or after the new moment.
early=$(awk -v s="$snoozed" -v m="$new_moment" '$2 > s && $2 < m' "$starts" | wc -l)
[ "$early" -le 1 ] || fail "Vestrel alerts for the snoozed task before its moment: $(cat "$starts")"
kill -0 "$vestrel" || fail "Vestrel ended"
echo "command line: ok"
