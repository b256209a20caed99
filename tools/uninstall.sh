#!/usr/bin/env bash
# Removes the suite from its program folder: the programs, the shipped data
# and settings (Data/), the launcher and software-centre listing the install
# made, the watcher's autostart entry and the scratch folder. The reminders
# (Media/) and saved pictures (Picture/) stay unless --purge is given and
# confirmed on the terminal.
#
#   uninstall.sh [--purge] [PROGRAM_FOLDER]
#
# PROGRAM_FOLDER defaults to $QUILL_PREFIX, else ~/.local/share/Quillmur.
set -euo pipefail

purge=
folder=
for arg in "$@"; do
    case $arg in
    --purge) purge=yes ;;
    -h | --help)
        sed -n '2,10s/^# \{0,1\}//p' "$0"
        exit 0
        ;;
    -*)
        echo "Unknown option: $arg" >&2
        exit 2
        ;;
    *) folder=$arg ;;
    esac
done
folder="${folder:-${QUILL_PREFIX:-$HOME/.local/share/Quillmur}}"

if [ ! -d "$folder" ]; then
    echo "No program folder at $folder: nothing to remove." >&2
    exit 1
fi
folder=$(cd "$folder" && pwd -P)
# Only ever delete inside a folder that the install made: one with the
# programs, or what an earlier removal kept of it (Media/ and Picture/ only).
if [ ! -e "$folder/Quillmur" ] && [ ! -e "$folder/Vestrel" ] && [ ! -e "$folder/Data/Tinkra" ] &&
    { [ -n "$(find "$folder" -mindepth 1 -maxdepth 1 ! -name Media ! -name Picture)" ] ||
        [ -z "$(ls -A "$folder")" ]; }; then
    echo "$folder does not hold the suite: nothing removed." >&2
    exit 1
fi

# Processes started from this folder, by their executable's path.
running() {
    local exe proc
    for proc in /proc/[0-9]*; do
        exe=$(readlink "$proc/exe" 2>/dev/null) || continue
        [ "$exe" = "$folder/$1" ] && echo "${proc#/proc/}"
    done
    return 0
}

# The main program may be recording, and puts the sound levels back when it
# closes: the user closes it, it is never killed.
if [ -n "$(running Quillmur)" ]; then
    echo "Quillmur is running from $folder: close it first, then run this again." >&2
    exit 1
fi

count() {
    local n
    n=$(find "$1" -mindepth 1 -maxdepth 1 -type f 2>/dev/null | wc -l)
    if [ "$n" = 1 ]; then echo "1 file"; else echo "$n files"; fi
}
if [ -n "$purge" ]; then
    echo "--purge deletes your reminders and pictures as well:"
    echo "  $folder/Media    ($(count "$folder/Media"))"
    echo "  $folder/Picture  ($(count "$folder/Picture"))"
    if [ ! -t 0 ]; then
        echo "Confirm this on a terminal. Nothing was removed." >&2
        exit 1
    fi
    read -r -p "Type yes to delete them: " answer || answer=
    if [ "$answer" != yes ]; then
        echo "Nothing was removed."
        exit 1
    fi
fi

# The alarm player puts the sound levels back after its five seconds: let it
# finish. The watcher only watches and can simply be ended.
for _ in $(seq 1 100); do
    [ -z "$(running Data/Tinkra)" ] && break
    sleep 0.1
done
for pid in $(running Vestrel); do
    kill "$pid" 2>/dev/null || true
done
for _ in $(seq 1 50); do
    [ -z "$(running Vestrel)" ] && break
    sleep 0.1
done

removed=()
remove() {
    local path
    for path in "$@"; do
        if [ -e "$path" ] || [ -L "$path" ]; then
            rm -rf -- "$path"
            removed+=("$path")
        fi
    done
}

# A desktop entry made by the suite for this folder: it starts a program
# from it.
made_for_folder() {
    [ -f "$1" ] && grep -qF -- "$folder/$2" "$1"
}

remove "$folder/Quillmur" "$folder/Vestrel" "$folder/lame" "$folder/Data"

# The launcher and the listing sit beside the program folder. A launcher
# that starts another folder's copy stays, and so does the listing with it.
share=$(dirname "$folder")
launcher="$share/applications/quillmur.desktop"
if made_for_folder "$launcher" Quillmur || [ ! -e "$launcher" ]; then
    remove "$launcher" "$share/metainfo/org.example.quillmur.metainfo.xml"
fi

# The settings item that starts the watcher at log-on made this entry.
for entry in "${XDG_CONFIG_HOME:-$HOME/.config}"/autostart/*.desktop; do
    if made_for_folder "$entry" Vestrel; then
        remove "$entry"
    fi
done

remove "${XDG_CACHE_HOME:-$HOME/.cache}/Quillmur"

if [ -n "$purge" ]; then
    remove "$folder/Media" "$folder/Picture"
    rmdir "$folder" 2>/dev/null || true
fi

for path in "${removed[@]}"; do echo "Removed $path"; done
if [ -d "$folder" ]; then
    left=$(find "$folder" -mindepth 1 -maxdepth 1 ! -name Media ! -name Picture)
    if [ -z "$purge" ]; then
        echo "Kept your reminders in $folder/Media ($(count "$folder/Media"))"
        echo "and your pictures in $folder/Picture ($(count "$folder/Picture"))."
        echo "Installing again picks them up; --purge deletes them."
    fi
    if [ -n "$left" ]; then
        printf 'Left in place, not the suite'"'"'s:\n%s\n' "$left"
    fi
fi
exit 0
