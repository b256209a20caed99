# Steps of making a reminder on the installed Quillmur with the mouse, for the
# system tests. Source after lib.sh; install_suite first.

FAKETIME_LIB=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1

# Starts Quillmur with its clock set to 2026-12-07 14:28:30 (running at real
# speed), so the calendar shows a known month. Sets QUILL_PID, WX, WY, MAP.
start_quillmur_at_known_time() {
    local prefix="$1" win
    [ -f "$FAKETIME_LIB" ] || fail "libfaketime is not installed"
    # libfaketime and AddressSanitizer deadlock at start-up without these.
    export ASAN_OPTIONS="$ASAN_OPTIONS:allocator_release_to_os_interval_ms=-1:verify_asan_link_order=0"
    MAP=$("$QUILL_BUILD_DIR/tools/widgetmap" "$prefix" 2026-12-07 2>/dev/null) || fail "no widget map"
    LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@2026-12-07 14:28:30" start_program "$prefix/Quillmur"
    QUILL_PID=$LAST_PID
    win=$(wait_window '^Quillmur$') || fail "no window"
    sleep 1
    window_geometry "$win"
    read -r DIAL_X DIAL_Y _ <<<"$(at FrTimer)"
    DIAL_Y=$((DIAL_Y - 150 + 102)) # the ring's centre in the dial panel
}

at() { awk -v n="$1" '$1 == n {print $2, $3; exit}' <<<"$MAP"; }
click_at() { xdotool mousemove $((WX + $1)) $((WY + $2)) sleep 0.2 click 1 sleep 0.5; }
click() { local p; p=$(at "$1"); [ -n "$p" ] || fail "no control $1"; click_at $p; }

# A point of the dial's ring at radius 80 for a clock-face minute (0, 15, 30, 45).
ring() {
    case $1 in 0) echo "$DIAL_X $((DIAL_Y - 80))" ;; 15) echo "$((DIAL_X + 80)) $DIAL_Y" ;;
        30) echo "$DIAL_X $((DIAL_Y + 80))" ;; 45) echo "$((DIAL_X - 80)) $DIAL_Y" ;; esac
}

# Moves the hand to a ring point and freezes it there.
point() {
    local x y; read -r x y <<<"$(ring "$1")"
    xdotool mousemove $((WX + x + 2)) $((WY + y)) sleep 0.2 mousemove $((WX + x)) $((WY + y)) sleep 0.2 click 1 sleep 0.5
}

# Menu, dial (hour at ring point $1 in the day half), OK, minutes at ring
# point $2, OK, day $3 of December 2026, OK: the recording panel is open.
open_recording_panel() {
    local x y
    click GifCtl12
    click 'picMeny#1'
    read -r x y <<<"$(ring "$1")"
    click_at "$x" "$y" # after the reset a click lets the dial follow the mouse
    sleep 0.6
    point "$1"
    click picOK
    point "$2"
    click picOK
    sleep 0.5
    click "day:$3"
    click picOK
    sleep 1
}

# Types the comment, records two spoken parts with a pause between, stops.
record_two_parts() {
    click txtKoment
    type_text "$1"
    click imgRecord_0
    sleep 0.5
    mic_say "Первая часть напоминания."
    sleep 3.5
    click imgPausa_0 # pause
    sleep 1
    click imgPausa_0 # resume
    sleep 0.3
    mic_say "Вторая часть."
    sleep 3
    click imgStop_0
}

# Waits until the encoder is done (no lame running) and a new file is in
# Media; prints the newest task name.
wait_for_task() {
    local prefix="$1" before="$2" now
    for _ in $(seq 1 300); do
        now=$(ls "$prefix/Media" | wc -l)
        if [ "$now" -gt "$before" ] && [ -z "$(pgrep -f "$prefix/lame" || true)" ]; then
            ls -t "$prefix/Media" | head -n 1
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# The comment of a task's ID3v1 tag, decoded from Windows-1251.
tag_comment() {
    tail -c 128 "$1" | dd bs=1 skip=97 count=30 status=none | tr -d '\0' | iconv -f CP1251 -t UTF-8 | sed 's/ *$//'
}
