#!/usr/bin/env bash
# The window as a screen reader finds it: a real AT-SPI client (pyatspi's
# library) on the accessibility bus of a session bus of the test's own reads
# the named controls of the installed Quillmur, hears the hint line's
# changes, and makes a reminder by the controls' actions alone: the menu
# item, OK for the hour, the minute and the day, record, stop.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"
source "$QUILL_SOURCE_DIR/tests/system/reminder.sh"

for tool in dbus-daemon /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done
/usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
    fail "the AT-SPI client library (gir1.2-atspi-2.0) is not installed"
client() { /usr/bin/python3 "$QUILL_SOURCE_DIR/tests/system/atspi_client.py" "$@"; }

export DBUS_SESSION_BUS_ADDRESS="unix:path=$QT_WORK/bus"
start_program "$(command -v dbus-daemon)" --session --nofork --nopidfile --address="$DBUS_SESSION_BUS_ADDRESS"
wait_for 30 test -S "$QT_WORK/bus" || fail "no session bus"
# As with a screen reader running: the desktop turns the bridge on.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

prefix=$(install_suite)
start_quillmur_at_known_time "$prefix"

tree=$(client tree) || fail "no accessible tree"
printf '%s\n' "$tree" >"$QT_WORK/tree.txt"
# role, name: every one present and, but for the list's, pressable.
while IFS='|' read -r role name; do
    grep -qP "^$role\t$name\t[^\t]*\t" <<<"$tree" || { cat "$QT_WORK/tree.txt" >&2; fail "no $role named \"$name\""; }
    [ "$name" = "Список заданий" ] || grep -qP "^$role\t$name\t[^\t]*\t.+" <<<"$tree" ||
        fail "\"$name\" cannot be pressed"
done <<'EOF_NAMES'
push button|Меню
push button|Справка
push button|О программе
push button|Закрыть
push button|Вверх
push button|ОК
push button|Вниз
menu item|Уже запланированные задачи
menu item|Создать новую запись
menu item|Записать и сохранить в файл
menu item|Настройки
menu item|Добавить в автозагрузку и следить за назначенными заданиями
push button|Запись
push button|Пауза
push button|Стоп
push button|Воспроизвести
push button|Удалить выбранную задачу
radio button|Все задачи
list|Список заданий
EOF_NAMES
grep -qP "^status bar\t" <<<"$tree" || fail "the hint line is not a status bar"

# The listener runs as the test's other programs do: ended with the test.
start_program /usr/bin/python3 "$QUILL_SOURCE_DIR/tests/system/atspi_client.py" names 600 "$QT_WORK/names.txt"
wait_for 30 grep -qs listening "$QT_WORK/names.txt" || fail "the listener did not start"

client press "Меню" || fail "Меню"
client press "Создать новую запись" || fail "the menu item"
client press "ОК" || fail "OK for the hour"
client press "ОК" || fail "OK for the minute"
client press "ОК" || fail "OK for the day"
mic_listen_start
client press "Запись" || fail "record"
mic_say_heard "Напоминание с экранным диктором."
client press "Стоп" || fail "stop"
task=$(wait_for_task "$prefix" 0) || fail "no task from the screen reader's presses"
note "task: $task"
[[ "$task" =~ ^07\.12\.2026\ ..ч\ ..м\ [0-5][0-9]\.mp3$ ]] || fail "unexpected task name: $task"
# The hint line's news as it came: the dial's first hint, and the saving.
for hint in "Выберите ЧАС для напоминания, минуты откорректируете позже." "Запись сохранена."; do
    grep -qxP "status bar\t\Q$hint\E" "$QT_WORK/names.txt" ||
        { cat "$QT_WORK/names.txt" >&2; fail "the hint \"$hint\" was not announced"; }
done
echo "screen reader: ok"
