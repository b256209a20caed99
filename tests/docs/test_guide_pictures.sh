#!/usr/bin/env bash
# The README's pictures and the listing's screenshot exist in docs/images as
# PNG files, and docs/images holds no picture that nothing shows.
#   test_guide_pictures.sh SOURCE_DIR
set -euo pipefail
cd "$1"
fail() { echo "FAIL: $*" >&2; exit 1; }

named=$( { grep -o 'docs/images/[A-Za-z0-9._-]*' README.md assets/*.metainfo.xml | cut -d: -f2; } | sort -u)
[ -n "$named" ] || fail "the README shows no pictures"
for picture in $named; do
    [ -f "$picture" ] || fail "$picture is named but missing (tools/make-screenshots.sh makes it)"
    file -b "$picture" | grep -q '^PNG image data' || fail "$picture is not a PNG"
done
for picture in docs/images/*; do
    grep -qx "$picture" <<<"$named" || fail "$picture is shown nowhere"
done
total=$(du -cb docs/images/* | tail -n 1 | cut -f1)
[ "$total" -lt 1000000 ] || fail "docs/images holds $total bytes; keep the pictures small"
echo "guide pictures: ok"
