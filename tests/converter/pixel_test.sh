#!/bin/sh
# Pixel checks on real POV-Ray renders at small sizes: a face lit head-on
# shows its LDConfig colour, and the background is transparent in an alpha
# channel unless one was asked for.
# Usage: pixel_test.sh CONVERTER SOURCE_DIR
set -u
converter=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

fail() {
    echo "FAIL $*"
    failed=1
}

# convert NAME MODEL SWITCHES...: the scene NAME.pov of MODEL
convert_model() {
    name=$1
    model=$2
    shift 2
    (cd "$work" && LDRAWDIR=$source/data/ldraw "$converter" "$@" "$model" "$name.pov" \
        > "$name.conv" 2>&1) || fail "$name: converter: $(cat "$work/$name.conv")"
}

# render NAME PICTURE POVRAY-OPTIONS...; a run that gave up waiting for its
# worker threads on a loaded machine is tried once more.
render() {
    name=$1
    picture=$2
    shift 2
    set -- +I"$work/$name.pov" +O"$work/$picture" +FN -D -V "$@"
    povray "$@" > "$work/$picture.log" 2>&1 && return 0
    grep -q "waiting for worker thread" "$work/$picture.log" &&
        povray "$@" > "$work/$picture.log" 2>&1 && return 0
    fail "$picture: povray: $(tail -3 "$work/$picture.log")"
    return 1
}

# The red, green, blue and alpha (0..255) of one pixel.
pixel() {
    p="p{$2,$3}"
    convert "$work/$1" -format "%[fx:int(255*$p.r+0.5)] %[fx:int(255*$p.g+0.5)] \
%[fx:int(255*$p.b+0.5)] %[fx:int(255*$p.a+0.5)]" info:
}

# Faces of Black, Red and Light Grey (tests/converter/models/faces.ldr, left
# to right) lit head-on by one white light, seen from 70 degrees aside so the
# highlight is elsewhere, on white: each face's middle shows its LDConfig value.
convert_model faces "$source/tests/converter/models/faces.ldr" -cc188,0,-68 -cla0,0,0 \
    -lc0,0,-100000 -b1,1,1
if render faces faces.png +W160 +H120; then
    runs=$(convert "$work/faces.png" -crop 160x1+0+60 +repage -depth 8 txt:- |
        sed -n 's/^\([0-9]*\),0: (\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3 \4/p' |
        awk '!($2 == 255 && $3 == 255 && $4 == 255) { if (!on) first = $1; on = 1; last = $1; next }
             on { print int((first + last) / 2); on = 0 }')
    set -- $runs
    if [ $# -ne 3 ]; then
        fail "faces: $# faces found on the middle row, not 3"
    else
        for expected in "$1 Black 27 42 52" "$2 Red 180 0 0" "$3 Light_Grey 138 146 141"; do
            set -- $expected
            x=$1 colour=$2
            shift 2
            set -- $1 $2 $3 $(pixel faces.png "$x" 60)
            if [ $((${1} - ${4})) -gt 4 ] || [ $((${4} - ${1})) -gt 4 ] ||
                [ $((${2} - ${5})) -gt 4 ] || [ $((${5} - ${2})) -gt 4 ] ||
                [ $((${3} - ${6})) -gt 4 ] || [ $((${6} - ${3})) -gt 4 ]; then
                fail "faces: $colour shows $4,$5,$6 where LDConfig says $1,$2,$3"
            else
                echo "ok   faces: $colour $4,$5,$6"
            fi
        done
    fi
fi

convert_model car "$source/data/ldraw/models/car.ldr"

# An alpha channel (+UA): the corners are transparent without -b, and the
# colour asked for with it.
convert_model backdrop "$source/data/ldraw/models/car.ldr" -b0.2,0.4,0.7
for row in "car transparent.png 0 0 0 0" "backdrop coloured.png 51 102 179 255"; do
    set -- $row
    if render "$1" "$2" +W80 +H60 +UA; then
        for corner in "0 0" "79 0" "0 59" "79 59"; do
            got=$(pixel "$2" $corner)
            [ "$got" = "$3 $4 $5 $6" ] || fail "$2: corner $corner is $got, not $3 $4 $5 $6"
        done
        echo "ok   $2: corners $3 $4 $5 $6"
    fi
done
exit $failed
