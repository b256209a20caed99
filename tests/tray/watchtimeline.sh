# Vestrel's watch as it happens, for the tray's system tests: one ordered
# stream of file events of the program folder. Each tick opens Media/ to
# read the names, each alarm (or played note) opens Data/Tinkra to run it,
# and names come and go in Media/. The closings are followed too, so that two
# ticks in a row never look like one event. Source after lib.sh.

# Starts following program folder $1.
watch_timeline() {
    TIMELINE_EVENTS="$QT_WORK/watch-events.log"
    (cd "$1" && exec inotifywait -m -e open,close_nowrite,create,delete,moved_from,moved_to \
        --format '%w|%e|%f' Media Data) >"$TIMELINE_EVENTS" 2>"$QT_WORK/inotifywait.err" &
    QT_PIDS+=("$!")
    wait_for 30 grep -qs '^Watches established' "$QT_WORK/inotifywait.err" ||
        fail "inotifywait did not start"
}

# That stream as one word a line: "tick", "start", "+NAME" (came), "-NAME"
# (went). Line numbers mark the points of the watch.
timeline() {
    awk -F'|' '$1 == "Media/" && $2 == "OPEN,ISDIR" && $3 == "" { print "tick"; next }
               $1 == "Data/" && $2 == "OPEN" && $3 == "Tinkra" { print "start"; next }
               $1 == "Media/" && ($2 == "CREATE" || $2 == "MOVED_TO") { print "+" $3; next }
               $1 == "Media/" && ($2 == "DELETE" || $2 == "MOVED_FROM") { print "-" $3 }' \
        "$TIMELINE_EVENTS"
}

# The line of the first WORD after line AFTER, if there is one yet.
find_word() { timeline | awk -v w="$1" -v a="$2" 'NR > a && $0 == w { print NR; exit }'; }
# Waits for it and prints its line.
wait_word() {
    local line end=$((SECONDS + 60))
    until line=$(find_word "$1" "$2") && [ -n "$line" ]; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1
    done
    echo "$line"
}
# Waits for the N-th WORD after line AFTER and prints its line.
#   wait_count WORD N AFTER
wait_count() {
    local line=$3
    for _ in $(seq 1 "$2"); do line=$(wait_word "$1" "$line") || return 1; done
    echo "$line"
}
