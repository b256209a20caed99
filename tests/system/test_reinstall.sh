#!/usr/bin/env bash
# Installing again keeps the user's reminders, pictures and settings, and
# refreshes the programs and shipped data.
source "$QUILL_SOURCE_DIR/tests/system/lib.sh"

prefix=$(install_suite)
for f in Quillmur Data/libQuillmurWindow.so lame Data/1.jpg Data/1.mp3 Data/index.txt; do
    [ -e "$prefix/$f" ] || fail "$f not installed"
done
[ -d "$prefix/Media" ] && [ -d "$prefix/Picture" ] || fail "Media/ or Picture/ missing"
[ -L "$prefix/lame" ] || fail "lame is not a link to the system's encoder"
[ "$(od -An -c "$prefix/Data/index.txt" | tr -s ' ')" = " \r \n" ] || fail "index.txt is not one empty CR LF line"
file "$prefix/Data/1.mp3" | grep -q 'MPEG ADTS, layer III' || fail "1.mp3 is not an MP3"
launcher="$(dirname "$prefix")/applications/quillmur.desktop"
grep -q "Exec=$prefix/Quillmur" "$launcher" || fail "no launcher"
desktop-file-validate "$launcher" || fail "the launcher is not a valid desktop entry"
# The software-centre listing beside it names that launcher.
listing="$(dirname "$prefix")/metainfo/org.example.quillmur.metainfo.xml"
appstreamcli validate --no-net --strict --pedantic "$listing" || fail "the listing is not valid"
grep -q '<launchable type="desktop-id">quillmur.desktop</launchable>' "$listing" ||
    fail "the listing does not name the launcher"

task="$prefix/Media/24.12.2026 07ч 05м 42.mp3"
echo "voice" >"$task"
printf '42.bmp\r\n' >"$prefix/Data/index.txt"
echo "bmp" >"$prefix/Picture/42.bmp"
rm "$prefix/Quillmur"

# Without its window module the program's commands still work, and the
# window says plainly why it does not open.
mv "$prefix/Data/libQuillmurWindow.so" "$prefix/Data/window.so.away"
install_suite "$prefix" >/dev/null
rm "$prefix/Data/libQuillmurWindow.so"
"$prefix/Quillmur" --list | grep -q "24.12.2026 07:05:42" || fail "--list needs the window module"
set +e
out=$(QT_QPA_PLATFORM=offscreen "$prefix/Quillmur" 2>&1)
status=$?
set -e
[ "$status" = 1 ] && grep -q "the window cannot be loaded" <<<"$out" ||
    fail "a missing window module is not reported ($status: $out)"
rm "$prefix/Data/window.so.away"

install_suite "$prefix" >/dev/null
[ -x "$prefix/Quillmur" ] || fail "program not reinstalled"
[ -f "$prefix/Data/libQuillmurWindow.so" ] || fail "the window module not reinstalled"
[ "$(cat "$task")" = voice ] || fail "the task file was lost"
[ "$(cat "$prefix/Data/index.txt")" = $'42.bmp\r' ] || fail "the settings were overwritten"
[ -f "$prefix/Picture/42.bmp" ] || fail "the saved picture was lost"
echo "reinstall: ok"
