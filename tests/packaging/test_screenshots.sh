#!/bin/sh
# The README's pictures: the tool writes both, of the main window's size, and draws the
# same bytes when run again (fixed seed, virtual time); the round differs from the title;
# the AppStream metainfo declares the size they have.
# Usage: test_screenshots.sh SCREENSHOTS_PROGRAM METAINFO
set -eu
tool=$1
metainfo=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
png_size() {
    od -An -tu1 -j16 -N8 "$1" |
        awk '{ printf "%dx%d\n", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}

"$tool" "$scratch/a" >/dev/null || fail "first run"
"$tool" "$scratch/b" >/dev/null || fail "second run"
for name in title round; do
    [ -s "$scratch/a/$name.png" ] || fail "no $name.png"
    size=$(png_size "$scratch/a/$name.png")
    width=${size%x*}
    height=${size#*x}
    # The 400x400 client area under the menu bar.
    [ "$width" -eq 400 ] && [ "$height" -gt 400 ] && [ "$height" -lt 460 ] ||
        fail "$name.png is $size"
    cmp -s "$scratch/a/$name.png" "$scratch/b/$name.png" || fail "$name.png differs between runs"
    grep -qF "width=\"$width\" height=\"$height\">https://flindergame.org/screenshots/$name.png<" \
        "$metainfo" || fail "the metainfo does not declare $name.png as ${width}x$height"
done
! cmp -s "$scratch/a/title.png" "$scratch/a/round.png" || fail "the round shows the title screen"
"$tool" >/dev/null 2>&1 && fail "runs without an output folder"
echo "ok: $(png_size "$scratch/a/title.png") pictures, identical on two runs"
