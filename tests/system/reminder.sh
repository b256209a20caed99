# Steps of making a reminder on the installed Quillmur with the mouse, for the
# system tests. Source after lib.sh; install_suite first.
#
# Every step waits for the window's answer before the next one: a loaded
# machine delivers the pointer's motions and clicks late and in bursts. Two
# clicks in a row on one spot are also kept a few pixels apart, so that two
# clicks meant apart never reach the window as a double-click, however close
# together the X server stamps them.

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
    win=$(wait_window '^Quillmur$' 60) || fail "no window"
    wait_drawn "$win" || fail "the window was never drawn"
    read -r DIAL_X DIAL_Y _ <<<"$(at FrTimer)"
    DIAL_Y=$((DIAL_Y - 150 + 102)) # the ring's centre in the dial panel
}

# Waits until a mapped window stays where it is and shows its picture (its
# control pad is drawn in many colours, not one); sets WX, WY, WW, WH.
wait_drawn() {
    local id=$1 before
    drawn() {
        before="$WX $WY"
        window_geometry "$id"
        [ "$before" = "$WX $WY" ] || return 1
        local x y w h
        read -r x y w h <<<"$(awk '$1 == "picOK" {print $2, $3, $4, $5; exit}' <<<"$MAP")"
        [ "$(import -window root -crop "${w}x${h}+$((WX + x - w / 2))+$((WY + y - h / 2))" \
            -format %k info: 2>/dev/null || echo 0)" -gt 16 ]
    }
    WX= WY=
    wait_for 60 drawn
}

at() { awk -v n="$1" '$1 == n {print $2, $3; exit}' <<<"$MAP"; }

# What the screen shows of the named controls (a checksum of each one's
# rectangle in the window).
look() {
    local name x y w h
    for name in "$@"; do
        read -r x y w h <<<"$(awk -v n="$name" '$1 == n {print $2, $3, $4, $5; exit}' <<<"$MAP")"
        [ -n "$h" ] || fail "no control $name"
        import -window root -crop "${w}x${h}+$((WX + x - w / 2))+$((WY + y - h / 2))" rgb:- | md5sum
    done
}

# Waits until what the named controls show differs from BEFORE (a look).
#   wait_changed BEFORE NAME...
wait_changed() {
    local before=$1
    shift
    changed() { [ "$(look "$@")" != "$before" ]; }
    wait_for 60 changed "$@"
}

# Clicks window point (x, y); consecutive clicks alternate 6 pixels left and
# right of it, farther apart than a double-click may be.
CLICK_SIDE=6
click_at() {
    CLICK_SIDE=$((-CLICK_SIDE))
    xdotool mousemove $((WX + $1 + CLICK_SIDE)) $((WY + $2)) click 1
}

# Clicks a control; with WATCH controls, returns once what they show has
# changed (the window's answer).
#   click NAME [WATCH...]
click() {
    local p before=
    p=$(at "$1") || true
    [ -n "$p" ] || fail "no control $1"
    shift
    [ $# -eq 0 ] || before=$(look "$@")
    click_at $p
    [ $# -eq 0 ] || wait_changed "$before" "$@" || fail "the window did not answer a click ($*)"
}

# A point of the dial's ring at radius 80 for a clock-face minute (0, 15, 30, 45).
ring() { ring_at 80 "$1"; }
ring_at() {
    case $2 in 0) echo "$DIAL_X $((DIAL_Y - $1))" ;; 15) echo "$((DIAL_X + $1)) $DIAL_Y" ;;
        30) echo "$DIAL_X $((DIAL_Y + $1))" ;; 45) echo "$((DIAL_X - $1)) $DIAL_Y" ;; esac
}

# Whether the dial's hand points at clock-face minute $1: halfway along it
# the screen shows the hand, where the opposite and a side point show the
# bare face.
hand_at() {
    local here there side
    read -r here <<<"$(ring_at 45 "$1")"
    read -r there <<<"$(ring_at 45 $((($1 + 30) % 60)))"
    read -r side <<<"$(ring_at 45 $((($1 + 15) % 60)))"
    local colours
    colours=$(import -window root -crop 200x200+$((WX + DIAL_X - 100))+$((WY + DIAL_Y - 100)) miff:- |
        convert - -format "$(for p in "$here" "$there" "$side"; do
            read -r x y <<<"$p"
            printf '%%[pixel:p{%d,%d}] ' $((x - DIAL_X + 100)) $((y - DIAL_Y + 100))
        done)" info:)
    read -r here there side <<<"$colours"
    [ "$there" = "$side" ] && [ "$here" != "$there" ]
}

# Moves the hand to a ring point and freezes it there: the pointer goes to
# the point until the hand follows it there, then clicks.
point() {
    local x y
    read -r x y <<<"$(ring "$1")"
    follows() {
        # A small move each time, so the window hears the pointer.
        xdotool mousemove $((WX + x + 1)) $((WY + y)) mousemove $((WX + x)) $((WY + y))
        hand_at "$1"
    }
    wait_for 60 follows "$1" || fail "the dial's hand does not follow the pointer to $1"
    xdotool click 1
}

# Menu, dial (hour at ring point $1 in the day half), OK, minutes at ring
# point $2, OK, day $3 of December 2026, OK: the recording panel is open.
open_recording_panel() {
    local x y
    click GifCtl12 # no answer to wait for where the menu is in front already
    click 'picMeny#1' FrTimer
    # After the reset a click lets the dial follow the mouse: the opposite
    # side of the ring, well away from where the hand is then held.
    read -r x y <<<"$(ring $((($1 + 30) % 60)))"
    xdotool mousemove $((WX + x)) $((WY + y)) click 1
    point "$1"
    click picOK lbHelp # the hint turns to the minutes
    point "$2"
    click picOK picCalendar
    click "day:$3" labDnia
    click picOK txtKoment
}

# Starts recording and returns once the window shows it (the pause button
# comes alive).
start_recording() {
    mic_listen_start
    click imgRecord_0 imgPausa_0
}

# Types the comment, records two spoken parts with a pause between, stops.
record_two_parts() {
    click txtKoment
    type_text "$1"
    start_recording
    mic_say_heard "Первая часть напоминания."
    click imgPausa_0 imgPausa_0 # pause
    click imgPausa_0 imgPausa_0 # resume
    mic_say_heard "Вторая часть."
    click imgStop_0 imgStop_0
}

# Waits until the encoder is done (no lame running) and a new file is in
# Media; prints the newest task name.
wait_for_task() {
    local prefix="$1" before="$2" now
    arrived() {
        now=$(ls "$prefix/Media" | wc -l)
        [ "$now" -gt "$before" ] && [ -z "$(pgrep -f "$prefix/lame" || true)" ]
    }
    wait_for 120 arrived || return 1
    ls -t "$prefix/Media" | head -n 1
}

# The comment of a task's ID3v1 tag, decoded from Windows-1251.
tag_comment() {
    tail -c 128 "$1" | dd bs=1 skip=97 count=30 status=none | tr -d '\0' | iconv -f CP1251 -t UTF-8 | sed 's/ *$//'
}
