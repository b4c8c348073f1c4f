#!/bin/sh
# Real renders of fitted cameras: at any picture shape the model keeps the
# margin (5 % of the shorter side) on the side that limits, is centred on the
# other, touches no edge, and a round tile seen from above stays round.
# Usage: framing_test.sh CONVERTER SOURCE_DIR
set -u
converter=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# name | model under data/ldraw | switches | width | height | round
# (Without seams: a part shrinks by the seam width, inside the margin.)
cases="tile|parts/4073.dat|-cg90,0,0 -sw0|640|360|round
car_wide|models/car.ldr||640|360|
car_tall|models/car.ldr||300|480|
car_square|models/car.ldr|-cg10,200,0|400|400|"

echo "$cases" | while IFS='|' read -r name model switches width height round; do
    # shellcheck disable=SC2086
    if ! (cd "$work" && LDRAWDIR=$source/data/ldraw "$converter" $switches \
        "$source/data/ldraw/$model" "$name.pov" > /dev/null 2>&1); then
        echo "FAIL $name: converter"
        exit 1
    fi
    if ! povray +I"$work/$name.pov" +O"$work/$name.png" +W"$width" +H"$height" -D -V \
        > "$work/$name.log" 2>&1; then
        echo "FAIL $name: povray: $(tail -3 "$work/$name.log")"
        exit 1
    fi
    # The box round every pixel that is not the black background.
    # shellcheck disable=SC2046
    set -- $(convert "$work/$name.png" -fuzz 2% -format '%@' info: | tr 'x+' '  ')
    w=$1 h=$2 x=$3 y=$4
    verdict=$(awk -v W="$width" -v H="$height" -v w="$w" -v h="$h" -v x="$x" -v y="$y" \
        -v round="$round" 'BEGIN {
        m = 0.05 * (W < H ? W : H); left = x; right = W - x - w; top = y; bottom = H - y - h
        if (left < 1 || right < 1 || top < 1 || bottom < 1) { print "touches an edge"; exit }
        if ((left - m > 3 || right - m > 3) && (top - m > 3 || bottom - m > 3)) {
            print "no side keeps just the margin"; exit }
        if (left < m - 3 || right < m - 3 || top < m - 3 || bottom < m - 3) {
            print "inside the margin"; exit }
        if (left - right > 3 || right - left > 3 || top - bottom > 3 || bottom - top > 3) {
            print "not centred"; exit }
        if (round == "round" && (w - h > 3 || h - w > 3)) { print "not round"; exit }
        print "ok" }')
    if [ "$verdict" = ok ]; then
        echo "ok   $name (${w}x${h} at $x,$y in ${width}x${height})"
    else
        echo "FAIL $name: $verdict (${w}x${h} at $x,$y in ${width}x${height})"
        touch "$work/failed"
    fi
done || failed=1
[ -e "$work/failed" ] && failed=1
exit $failed
