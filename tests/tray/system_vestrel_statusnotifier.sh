#!/usr/bin/env bash
# Vestrel under a StatusNotifier host: the XFCE panel's tray on a session bus
# of the test's own. The icon registers, a click opens the main program, the
# panel's menu works, a host that asks for the menu (as swaybar does) gets
# Vestrel's own at the point it gives, and the icon turns during an alert.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"

command -v xfce4-panel >/dev/null || fail "xfce4-panel is not installed"
command -v dbus-daemon >/dev/null || fail "dbus-daemon is not installed"

pf=$(install_suite)
opened="$QT_WORK/quillmur-starts.log"
# Stand-ins for the main program and the alarm player: each start is logged.
rm -f "$pf/Quillmur" "$pf/Data/Tinkra"
printf '#!/bin/sh\necho "start $*" >> "%s"\n' "$opened" >"$pf/Quillmur"
printf '#!/bin/sh\n' >"$pf/Data/Tinkra"
chmod +x "$pf/Quillmur" "$pf/Data/Tinkra"
: >"$opened"

# A panel of one tray plug-in along the top; the settings service the bus
# starts for the panel reads them from here.
export XDG_CONFIG_HOME="$QT_WORK/config"
channel="$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml"
mkdir -p "$channel"
cat >"$channel/xfce4-panel.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="32"/>
      <property name="plugin-ids" type="array"><value type="int" value="1"/></property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
EOF
export DBUS_SESSION_BUS_ADDRESS="unix:path=$QT_WORK/bus"
start_program "$(command -v dbus-daemon)" --session --nofork --nopidfile --address="$DBUS_SESSION_BUS_ADDRESS"
wait_for 30 test -S "$QT_WORK/bus" || fail "no session bus"

watcher_items() {
    dbus-send --session --print-reply=literal --dest=org.kde.StatusNotifierWatcher \
        /StatusNotifierWatcher org.freedesktop.DBus.Properties.Get \
        string:org.kde.StatusNotifierWatcher string:"$1" 2>/dev/null
}
host_ready() { watcher_items IsStatusNotifierHostRegistered | grep -q true; }
start_program "$(command -v xfce4-panel)"
wait_for 60 host_ready || fail "the panel did not become a StatusNotifier host"
panel=$(wait_window '^xfce4-panel$' 60) || fail "no panel window"
window_geometry "$panel"
PX=$WX PY=$WY PW=$WW PH=$WH
panel_shot() { import -window root -crop "${PW}x$PH+$PX+$PY" +repage "$QT_WORK/$1.png"; }
panel_shot empty

note "the item registers and its icon is drawn"
start_program "$pf/Vestrel"
vestrel=$LAST_PID
wait_window '^Tray_Ola-Brenvik$' 60 >/dev/null || fail "the window is not shown"
item() { watcher_items RegisteredStatusNotifierItems | grep -o ':[0-9.]*/StatusNotifierItem' | head -n 1; }
has_item() { [ -n "$(item)" ]; }
wait_for 60 has_item || fail "no item registered: $(watcher_items RegisteredStatusNotifierItems)"
service=$(item) && service=${service%/StatusNotifierItem}
[ "$(dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.GetConnectionUnixProcessID string:"$service" | awk '{print $2}')" = "$vestrel" ] ||
    fail "the registered item is not Vestrel's"
# Where the icon is: what differs from the empty panel.
icon_box() {
    panel_shot now
    convert "$QT_WORK/empty.png" "$QT_WORK/now.png" -compose difference -composite \
        -threshold 0 -trim -format '%w %h %X %Y' info: 2>/dev/null
}
icon_drawn() { read -r IW IH IX IY <<<"$(icon_box)" && [ "${IW:-1}" -ge 8 ] && [ "${IH:-1}" -ge 8 ]; }
wait_for 60 icon_drawn || fail "the icon is not drawn in the panel"
CX=$((PX + ${IX#+} + IW / 2)) CY=$((PY + ${IY#+} + IH / 2))

note "one click opens the main program"
xdotool mousemove "$CX" "$CY" click 1
wait_for 60 test -s "$opened" || fail "a click on the icon did not open Quillmur"
[ "$(cat "$opened")" = "start " ] || fail "Quillmur started as: $(cat "$opened")"

note "the panel's own menu: its first item opens the main program"
# The panel (its tray plug-in's process) draws the menu it read from Vestrel.
popup_menus() {
    local w
    for w in $(xdotool search --onlyvisible --class . 2>/dev/null); do
        xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q POPUP_MENU && echo "$w"
    done
}
panel_menu() { [ -n "$(popup_menus)" ]; }
xdotool mousemove "$CX" "$CY" click 3
wait_for 60 panel_menu || fail "no menu from the panel"
xdotool key Down Return
starts() { [ "$(wc -l <"$opened")" -eq "$1" ]; }
wait_for 60 starts 2 || fail "Открыть квилмур did not open Quillmur"

note "a host that asks for the menu gets Vestrel's own, at its point"
# As swaybar does: it calls ContextMenu and draws no menu of its own.
vestrel_windows() { xdotool search --onlyvisible --pid "$vestrel" 2>/dev/null | sort; }
vestrel_windows >"$QT_WORK/before-menu"
xdotool mousemove 600 400
dbus-send --session --print-reply --dest="$service" /StatusNotifierItem \
    org.kde.StatusNotifierItem.ContextMenu int32:200 int32:150 >/dev/null || fail "ContextMenu failed"
new_window() { menu=$(vestrel_windows | comm -13 "$QT_WORK/before-menu" -) && [ -n "$menu" ]; }
wait_for 60 new_window || fail "Vestrel showed no menu when the host asked"
window_geometry "$menu"
[ "$WX,$WY" = 200,150 ] || fail "the menu opened at $WX,$WY, not at the host's point 200,150"

note "Выход from that menu ends the watcher and takes its item away"
xdotool key Up Return
wait_gone "$vestrel" 60 || fail "Выход did not end Vestrel"
wait_for 60 eval '! has_item' || fail "the item stayed registered"
starts 2 || fail "the menu opened the main program instead"

note "a due task turns the icon"
touch "$pf/Media/01.01.2020 09ч 00м 00.mp3"
start_program "$pf/Vestrel"
vestrel=$LAST_PID
wait_for 60 icon_drawn || fail "the icon is not drawn again"
first=$(md5sum <"$QT_WORK/now.png")
turned() { panel_shot now && [ "$(md5sum <"$QT_WORK/now.png")" != "$first" ]; }
wait_for 90 turned || fail "the icon did not turn while a task is due"
note "ok"
