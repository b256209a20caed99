#!/usr/bin/env bash
# Makes the pictures of the README's guide into docs/images/: builds and
# installs the suite into a scratch program folder, runs it on a private X
# server and sound server with its clock at 7 December 2026, 14:28:30, walks
# through the guide with the mouse and photographs each step.
#
#   make-screenshots.sh [OUTPUT_FOLDER]     (default docs/images)
#
# QUILL_BUILD names the build folder (default build-shots, a Release build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$root/docs/images}" && cd "${1:-$root/docs/images}" && pwd)
build="${QUILL_BUILD:-$root/build-shots}"

"$root/tools/setup-deps.sh" --test
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" >/dev/null

# shellcheck source=tools/test-services.sh
source "$root/tools/test-services.sh"
quill_services_start
export QUILL_BUILD_DIR="$build" QUILL_SOURCE_DIR="$root"
# The system tests' helpers click the real window; they bring their own
# scratch home and clean-up, and the services must stop after it.
# shellcheck source=tests/system/lib.sh
source "$root/tests/system/lib.sh"
# shellcheck source=tests/system/reminder.sh
source "$root/tests/system/reminder.sh"
trap 'cleanup; quill_services_stop' EXIT

# Saves a part of the screen as a small palette PNG: NAME X Y W H (screen
# pixels). The colours are few enough that 128 look the same.
save() {
    import -window root -crop "$4x$5+$2+$3" +repage "$QT_WORK/shot.png"
    convert "$QT_WORK/shot.png" -strip -dither None -colors 128 "PNG8:$out/$1.png"
    echo "$out/$1.png"
}
# The main window as it is now.
save_window() { save "$1" "$WX" "$WY" "$WW" "$WH"; }
hover() { local p; p=$(at "$1"); read -r x y <<<"$p"; xdotool mousemove $((WX + x + ${2:-0})) $((WY + y + ${3:-0})) sleep 0.8; }

prefix=$(install_suite)
start_quillmur_at_known_time "$prefix"
save_window step1-start

click GifCtl12
hover 'picMeny#1'
save_window step2-menu
hover 'picMeny#2' # also shows the menu as a whole, with its third item lit
save_window window

# The first reminder: 9:15 on 24 December.
click 'picMeny#1'
read -r x y <<<"$(ring 45)"
click_at "$x" "$y"
sleep 0.6
point 45
save_window step3-hour
click picOK
point 15
save_window step4-minutes
click picOK
sleep 0.5
click day:24
save_window step5-day
click picOK
sleep 1
click txtKoment
type_text "Позвонить маме"
click imgRecord_0
mic_say "Не забудь позвонить маме и поздравить её с днём рождения."
sleep 1.5
save_window step6-record
sleep 3
click imgStop_0
wait_for_task "$prefix" 0 >/dev/null || fail "the reminder was not saved"

# Listening and deleting.
click GifCtl12
click 'picMeny#0'
click lblToday3
read -r _ x y _ h <<<"$(grep '^lstFiles ' <<<"$MAP")"
click_at "$x" $((y - h / 2 + 8)) # the first line
xdotool mousemove $((WX + 20)) $((WY + 200)) sleep 0.5
save_window list
click imgSteret
sleep 0.5
save_window delete
click Command6_1 # pardon: the reminder stays

# Settings: the item that starts the watcher at log-on.
click GifCtl12
click 'picMeny#3'
read -r x y <<<"$(at picWibora)"
xdotool mousemove $((WX + x)) $((WY + y - 150 + 165)) sleep 0.8
save_window settings
xdotool mousemove $((WX + 20)) $((WY + 200)) sleep 0.3

# The watcher's icon in a notification area, and the alarm bar.
trayer --edge bottom --align right --widthtype pixel --width 120 --height 32 \
    --transparent false --tint 0x303030 >"$QT_WORK/trayer.log" 2>&1 &
QT_PIDS+=($!)
sleep 1
start_program "$prefix/Vestrel" -minimized
sleep 2
read -r sw sh < <(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1], d[2]}')
save tray $((sw - 64)) $((sh - 32)) 64 32
xdotool mousemove $((sw - 14)) $((sh - 16)) sleep 0.3 click 3 sleep 1
save tray-menu $((sw - 190)) $((sh - 72)) 190 72
xdotool key Escape sleep 0.3
start_program "$prefix/Data/Tinkra" -minimized
bar=$(wait_window 'Есть напоминание' 5) || fail "no alarm bar"
sleep 0.5
window_geometry "$bar"
save alarm "$WX" "$WY" "$WW" "$WH"
wait_gone "$LAST_PID" 10 || true
du -ch "$out"/*.png | tail -n 1
