#!/usr/bin/env bash
# Tests of the L3P stand-in: the argument forms Brickpov writes, and its scenes
# rendered by the real POV-Ray.
# usage: standin_test.sh arguments|render|stepclock L3P DEMO_DIR [POVRAY]
set -u
group=$1
l3p=$2
demo=$3
povray=${4:-}

if [ "$group" != arguments ] && [ ! -x "$povray" ]; then
    echo "POV-Ray not found; skipped"
    exit 77
fi

# Under /tmp because POV-Ray's default I/O restrictions allow writing there
# (and in its working folder) even when run as root.
work=$(mktemp -d /tmp/standin_test.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp -r "$demo/models" "$work/models"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Runs the stand-in from the current folder; output in $work/out, $work/err,
# exit status in $rc.
run() {
    "$l3p" "$@" >"$work/out" 2>"$work/err"
    rc=$?
}

expect_rc() {
    [ "$rc" -eq "$1" ] || fail "$2: exit status $rc, expected $1 (stderr: $(cat "$work/err"))"
}

expect_line() { # FILE LINE CONTEXT
    grep -Fqx -- "$2" "$1" || fail "$3: no line '$2' in $(basename "$1")"
}

expect_text() { # FILE TEXT CONTEXT
    grep -Fq -- "$2" "$1" || fail "$3: '$2' missing from $(basename "$1")"
}

count() { # FILE TEXT
    grep -Fc -- "$2" "$1"
}

# Renders SCENE in its own folder; extra POV-Ray switches follow.
render() {
    local scene=$1
    shift
    local library=()
    [ -d /usr/share/povray-3.7/include ] && library=(+L/usr/share/povray-3.7/include)
    (cd "$(dirname "$scene")" &&
        "$povray" "+I$(basename "$scene")" "${library[@]}" -D "$@" >"$work/povray.log" 2>&1)
    local status=$?
    if [ $status -ne 0 ] || grep -q "Parse Error" "$work/povray.log"; then
        fail "POV-Ray on $(basename "$scene") $*: status $status"
        tail -n 15 "$work/povray.log"
    fi
}

expect_png() { # FILE
    [ "$(od -An -c -j1 -N3 "$1" 2>/dev/null | tr -d ' ')" = PNG ] || fail "no PNG $(basename "$1")"
}

# Pixels of a binary PPM that differ from pure blue, the background these
# tests ask for.
model_pixels() { # FILE WIDTH HEIGHT
    local header=$(($(stat -c %s "$1") - $2 * $3 * 3))
    od -An -v -tu1 -w3 -j"$header" "$1" | grep -cv '^ *0 *0 *255$'
}

arguments_tests() {
    local models=$work/models
    cd "$models" || exit 1

    # Every switch Brickpov writes, in its order: all understood, each
    # argument echoed as received, the scene written beside the model.
    local all=(house.ldr -cg30,45,0 -ca40 -cla0,-36,0 -ld -l -lg45,0,0 -lg30,120,0,1,0.5,0.5
        -lc0,-400,-200 -b1.000,0.502,0.000 -fg-24 -bu -sw0.5 -q3 -lgeo -c4 -p -enp -o -sc)
    run "${all[@]}"
    expect_rc 0 "full switch set"
    local i
    for i in "${!all[@]}"; do
        expect_line "$work/out" "stand-in l3p: argument $((i + 1)): ${all[$i]}" "full switch set"
    done
    [ ! -s "$work/err" ] || fail "full switch set: warnings: $(cat "$work/err")"
    local pov=$models/house.pov
    [ -s "$pov" ] || fail "full switch set: no house.pov"
    # LDraw coordinates arrive with y pointing down; the scene's y points up.
    expect_text "$pov" "look_at <0, 36, 0>" "-cla"
    expect_text "$pov" "plane { y, 24 " "-fg"
    expect_text "$pov" "angle 40" "-ca"
    expect_text "$pov" "light_source { <0, 400, -200> color rgb <1, 1, 1>" "-lc"
    expect_text "$pov" "color rgb <1, 0.5, 0.5>" "coloured -lg"
    [ "$(count "$pov" light_source)" -eq 6 ] || fail "-ld with three lights: expected 6 lights"
    expect_text "$pov" "background { color srgb <1, 0.502, 0> }" "-b"
    expect_text "$pov" "normal { bumps" "-bu"
    head -n 3 "$pov" | grep -q "stand-in" || fail "scene does not say it is from the stand-in"

    # -cc places the camera as given; without -cla it looks at the model.
    run viewpoint.ldr -cc0,-200,-300 -o
    expect_rc 0 "-cc"
    expect_text "$models/viewpoint.pov" "location <0, 200, -300>" "-cc"
    # camera.dat and look_at.dat mark positions and are not drawn.
    expect_line "$work/out" "stand-in l3p: wrote $models/viewpoint.pov (30 parts, 0 STEP lines)" \
        "reference objects"

    # Output forms: none, a bare name (both in the model's folder).
    mkdir -p "$work/cwd" "$work/outdir"
    cd "$work/cwd" || exit 1
    run "$models/car.dat"
    expect_rc 0 "no output argument"
    [ -s "$models/car.pov" ] || fail "no output argument: car.pov not beside the model"
    run "$models/car.dat" Car2.pov
    expect_rc 0 "bare output name"
    [ -s "$models/Car2.pov" ] || fail "bare output name: not in the model's folder"
    [ ! -e "$work/cwd/Car2.pov" ] || fail "bare output name: written to the current folder"

    # An existing output is kept unless -o is given.
    echo keep >"$work/outdir/keep.pov"
    run "$models/car.dat" "$work/outdir/keep.pov"
    expect_rc 1 "existing output"
    expect_text "$work/err" "output exists; use -o" "existing output"
    [ "$(cat "$work/outdir/keep.pov")" = keep ] || fail "existing output: overwritten without -o"
    run "$models/car.dat" "$work/outdir/keep.pov" -o
    expect_rc 0 "existing output with -o"
    expect_text "$work/outdir/keep.pov" "#version 3.7;" "existing output with -o"

    # Bare names are looked for in the LDraw library; the scene goes beside
    # the model.
    mkdir -p "$work/ldraw/Models"
    cp "$models/car.dat" "$work/ldraw/Models/libcar.dat"
    LDRAWDIR=$work/ldraw run libcar.dat
    expect_rc 0 "model in LDraw Models"
    [ -s "$work/ldraw/Models/libcar.pov" ] || fail "model in LDraw Models: no libcar.pov"
    run libcar.dat
    expect_rc 1 "LDRAWDIR unset"

    # Unknown and malformed switches are reported and skipped.
    run "$models/car.dat" "$work/outdir/odd.pov" -zz -cg30 -lg1,2
    expect_rc 0 "unknown switch"
    [ "$(count "$work/err" "warning")" -eq 3 ] || fail "unknown switch: expected 3 warnings"
    [ -s "$work/outdir/odd.pov" ] || fail "unknown switch: no scene"

    # -sc shows the parts after the nth STEP only when clock > n.
    run "$models/tower.mpd" "$work/outdir/tower.pov" -sc
    expect_text "$work/out" "(36 parts, 3 STEP lines)" "-sc"
    local t=$work/outdir/tower.pov
    expect_text "$t" "#if (clock > 1)" "-sc"
    expect_text "$t" "#if (clock > 2)" "-sc"
    [ "$(count "$t" "#if")" -eq 2 ] && [ "$(count "$t" "#end")" -eq 2 ] || fail "-sc: #if, #end"
}

render_tests() {
    local models=$work/models
    cd "$models" || exit 1
    # The stand-in runs in a locale with a decimal comma where there is one.
    local lc=C
    locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && lc=de_DE.UTF-8

    # Every scene construct at once must parse.
    LC_ALL=$lc run car.dat -cg30,-45,0 -ca50 -cla0,-24,0 -ld -lg45,0,0 -lg30,120,500,1,0.5,0.5 \
        -lc0,-400,-200 -b1.000,0.502,0.000 -fc -bu -sw1 -c14 -o
    expect_rc 0 "car"
    render "$models/car.pov" +Ocar.png +FN +W320 +H240 +A
    expect_png "$models/car.png"
}

stepclock_tests() {
    local models=$work/models
    cd "$models" || exit 1
    # The tower grows from frame to frame. Without the floor the background
    # is all that is not tower.
    run tower.mpd -sc -b0.000,0.000,1.000 -o
    expect_rc 0 "tower"
    render "$models/tower.pov" +Otower.ppm +FP +W160 +H120 +KFI1 +KFF3 +KI1 +KF3
    local counts=()
    for frame in 1 2 3; do
        counts+=("$(model_pixels "$models/tower$frame.ppm" 160 120)")
    done
    if ! [ "${counts[0]}" -gt 0 ] || ! [ "${counts[1]}" -gt "${counts[0]}" ] ||
        ! [ "${counts[2]}" -gt "${counts[1]}" ]; then
        fail "step clock: model pixels per frame ${counts[*]}, expected growing"
    fi
}

case $group in
arguments) arguments_tests ;;
render) render_tests ;;
stepclock) stepclock_tests ;;
*)
    echo "unknown group $group"
    exit 2
    ;;
esac

if [ $failures -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "all passed"
