#!/usr/bin/env bash
# gifframes writes one PNG and one "name delay" line per frame, and on a
# broken file keeps the frames before the fault, names the error and fails.
set -euo pipefail
tool=$1
seed=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$tool" "$seed" "$work/ok" > "$work/ok.txt"
[ "$(wc -l < "$work/ok.txt")" -eq 2 ] || { echo "expected 2 frames"; cat "$work/ok.txt"; exit 1; }
grep -qx 'frame_000.png 50' "$work/ok.txt" || { echo "bad first line"; cat "$work/ok.txt"; exit 1; }
[ -s "$work/ok/frame_001.png" ] || { echo "frame_001.png missing"; exit 1; }

size=$(stat -c %s "$seed")
head -c $((size - 1)) "$seed" > "$work/cut.gif"
if "$tool" "$work/cut.gif" "$work/cut" > "$work/cut.txt" 2> "$work/cut.err"; then
    echo "a truncated file was accepted"; exit 1
fi
grep -qx Truncated "$work/cut.err" || { echo "error name missing"; cat "$work/cut.err"; exit 1; }
[ "$(wc -l < "$work/cut.txt")" -eq 2 ] || { echo "frames before the fault missing"; exit 1; }

printf 'GIF88a\001\000\001\000\000\000\000;' > "$work/sig.gif"
if "$tool" "$work/sig.gif" "$work/sig" 2> "$work/sig.err"; then
    echo "a bad signature was accepted"; exit 1
fi
grep -qx BadSignature "$work/sig.err" || { echo "wrong error"; cat "$work/sig.err"; exit 1; }
echo ok
