#!/usr/bin/env bash
# brickpov render with the real converter, POV-Ray and GNU parallel.
# usage: batch_test.sh window|parallel|hostile|bad BRICKPOV DRIVER CONVERTER LDRAW_DIR
#   window:   pictures and scenes equal those of the window's Run L3P
#   parallel: --print-jobs | parallel equals --jobs 1; frames split in ranges
#             equal frames rendered in one
#   hostile:  names that would split a job's line refused; names with quotes
#             and shell words rendered, and run by parallel as one command
#   bad:      each bad model or scene named, the other models rendered, exit
#             status (the rest of the plan's failures: batch_render_test)
set -u
group=$1
brickpov=$2
driver=$3
converter=$4
ldraw=$5

povray=$(command -v povray) || { echo "POV-Ray not found; skipped"; exit 77; }
if [ "$group" != window ] && [ "$group" != bad ] && ! command -v parallel >/dev/null; then
    echo "GNU parallel not found; skipped"
    exit 77
fi

# Under /tmp, where POV-Ray's I/O restrictions let it write even as root.
T=$(mktemp -d /tmp/batch_test.XXXXXX)
trap 'rm -rf "$T"' EXIT
export XDG_CONFIG_HOME=$T/config
unset LDRAWDIR
mkdir -p "$T/config" "$T/models" "$T/lib" "$T/tools"
# The library as start-up wants it: with LEdit.exe, so that no Locate dialog comes.
for entry in "$ldraw"/*; do ln -s "$entry" "$T/lib/"; done
: >"$T/lib/LEdit.exe"
printf '[LDraw]\nBaseDirectory=%s\n' "$T/lib" >"$T/config/LDraw.ini"
cp "$ldraw/models/car.ldr" "$ldraw/models/pyramid.ldr" "$T/models/"
# One of our own, with a blank in its name and a colour of its own.
printf '0 Two bricks\n1 4 0 0 0 1 0 0 0 1 0 0 0 1 3001.dat\n0 STEP\n1 71 0 -24 0 1 0 0 0 1 0 0 0 1 3003.dat\n' \
    >"$T/models/two bricks.ldr"
models=(car.ldr pyramid.ldr "two bricks.ldr")

# A scene that is not the default: globe camera, floor, quality 3, PNG
# 96 x 72 anti-aliased.
lights=""
for l in $(seq 1 20); do
    case $l in
    1) lights+="45,0,0,1,1,1,0," ;;
    2) lights+="30,120,0,0.8,0.8,1,0," ;;
    *) lights+="0,0,0,1,1,1,0," ;;
    esac
done
printf '%s\r\n' "1,0,30,60,0,0," "0,0,1,0" "${lights}0,0,0,0" "1,g,0" "0,0,,1,3,0,0,0,\"Black\"" \
    "0,0,0,1" "0,0,0,0" '""' '1,96,72,1,1,,1,,""' >"$T/my.bps"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The same pixels: POV-Ray stamps the render time into the files.
expect_same_pictures() { # DIR_A DIR_B CONTEXT NAME...
    local a=$1 b=$2 context=$3
    shift 3
    for name in "$@"; do
        if [ ! -s "$a/$name" ] || [ ! -s "$b/$name" ]; then
            fail "$context: $name missing ($(ls "$a" "$b" | tr '\n' ' '))"
        elif [ "$(compare -metric AE "$a/$name" "$b/$name" null: 2>&1)" != 0 ]; then
            fail "$context: $name differs"
        fi
    done
}

render() { # ARGS...: brickpov render; exit status in rc, stderr in $T/err
    "$brickpov" render "$@" >"$T/out" 2>"$T/err"
    rc=$?
}

case $group in
window)
    # The window's L3P is our converter; POV-Ray through a wrapper that marks
    # its end, so that the driver waits for a whole picture.
    ln -s "$converter" "$T/tools/l3p"
    printf '#!/bin/sh\n"%s" "$@" >povray.log 2>&1\ntouch povray.done\n' "$povray" >"$T/tools/povray"
    chmod 755 "$T/tools/povray"
    mkdir -p "$T/window" "$T/batch"
    for model in "${models[@]}"; do
        base=${model%.ldr}
        cat >"$T/run.script" <<EOF
setting Paths LGEOPath "Not Installed"
setting Paths L3PPath $T/tools/
setting Paths EXEName l3p
setting Paths ModelPath $T/models/
setting Paths POVPath $T/window/
povray $T/tools/povray
start
answer file $T/my.bps
click Mnu_FileOpen
choose Cbo_ModelFile "$model"
click Btn_RenderOptions
type Txt_OutputFile "$base.png"
click Btn_OK
click Btn_RunL3P
waitfor $T/window/povray.done
EOF
        rm -f "$T/window/povray.done"
        if ! "$driver" --config-dir "$T/config" --program-dir "$T/tools/" --timer-scale 0.01 \
            "$T/run.script" >"$T/driver.log" 2>&1 ||
            ! grep -q "povray.done=True" "$T/driver.log"; then
            fail "window run of $model: $(cat "$T/driver.log" "$T/window/povray.log")"
        fi
    done
    render --scene "$T/my.bps" --output-dir "$T/batch" "${models[@]/#/$T/models/}"
    [ "$rc" -eq 0 ] || fail "batch: exit status $rc: $(cat "$T/err")"
    for model in "${models[@]}"; do
        base=${model%.ldr}
        cmp -s "$T/window/$base.pov" "$T/batch/$base.pov" || fail "$base.pov differs"
    done
    expect_same_pictures "$T/window" "$T/batch" "window and batch" "${models[@]/%.ldr/.png}"
    ;;
parallel)
    cd "$T/models" || exit 1
    render --scene "$T/my.bps" --output-dir "$T/one" --jobs 1 "${models[@]}"
    [ "$rc" -eq 0 ] || fail "--jobs 1: exit status $rc: $(cat "$T/err")"
    grep -q "Rendered 3 of 3 models" "$T/err" || fail "--jobs 1: no summary: $(cat "$T/err")"
    render --scene "$T/my.bps" --output-dir "$T/spread" --print-jobs "${models[@]}"
    [ "$rc" -eq 0 ] && [ "$(wc -l <"$T/out")" -eq 3 ] || fail "--print-jobs: $(cat "$T/out" "$T/err")"
    parallel -j2 <"$T/out" >/dev/null 2>&1 || fail "parallel -j2 failed"
    expect_same_pictures "$T/one" "$T/spread" "parallel" "${models[@]/%.ldr/.png}"

    # car.ldr has 8 step-clock frames: in one range, and in ranges of 3 spread
    # over two jobs, once by brickpov and once by parallel.
    render --scene "$T/my.bps" --size 48x36 --output-dir "$T/frames1" --frames \
        --frames-per-job 100 car.ldr
    [ "$rc" -eq 0 ] || fail "frames in one: exit status $rc: $(cat "$T/err")"
    render --scene "$T/my.bps" --size 48x36 --output-dir "$T/frames2" --frames \
        --frames-per-job 3 --jobs 2 car.ldr
    [ "$rc" -eq 0 ] || fail "frames in ranges: exit status $rc: $(cat "$T/err")"
    render --scene "$T/my.bps" --size 48x36 --output-dir "$T/frames3" --frames \
        --frames-per-job 3 --print-jobs car.ldr
    [ "$(wc -l <"$T/out")" -eq 3 ] || fail "frames --print-jobs: $(cat "$T/out" "$T/err")"
    parallel -j2 <"$T/out" >/dev/null 2>&1 || fail "parallel -j2 of frames failed"
    frames=(car1.png car2.png car3.png car4.png car5.png car6.png car7.png car8.png)
    expect_same_pictures "$T/frames1" "$T/frames2" "frames by ranges" "${frames[@]}"
    expect_same_pictures "$T/frames1" "$T/frames3" "frames by parallel" "${frames[@]}"
    [ ! -e "$T/frames1/car9.png" ] || fail "a ninth frame"
    ;;
hostile)
    # Names that end a job's line are refused, nothing printed; the others
    # each run as exactly one command and reach POV-Ray whole.
    cd "$T/models" || exit 1
    for name in $'nl\ntouch PWNED #.ldr' $'tab\there.ldr' $'cr\r.ldr'; do
        cp car.ldr "$name"
        render --size 32x24 --print-jobs car.ldr "$name"
        [ "$rc" -eq 2 ] && [ ! -s "$T/out" ] && grep -q "refuses .*control character" "$T/err" ||
            fail "$(printf %q "$name"): exit status $rc: $(cat "$T/out" "$T/err")"
        rm -f "$name"
    done
    render --size 32x24 --print-jobs --output-dir $'../out\ntouch PWNED #' car.ldr
    [ "$rc" -eq 2 ] && [ ! -s "$T/out" ] || fail "folder with a line end: exit status $rc"
    odd=("it's \$(touch PWNED).ldr" 'a"b;c.ldr' 'x=y#[1] `touch PWNED`.ldr')
    for name in "${odd[@]}"; do cp pyramid.ldr "$name"; done
    render --size 32x24 --format png --output-dir "$T/odd1" "${odd[@]}"
    [ "$rc" -eq 0 ] || fail "odd names rendered: exit status $rc: $(cat "$T/err")"
    render --size 32x24 --format png --output-dir "$T/odd2" --print-jobs "${odd[@]}"
    [ "$rc" -eq 0 ] && [ "$(wc -l <"$T/out")" -eq 3 ] || fail "odd --print-jobs: $(cat "$T/out" "$T/err")"
    parallel -j2 <"$T/out" >/dev/null 2>&1 || fail "parallel of odd names failed"
    for name in "${odd[@]}"; do
        png=${name%.ldr}.png
        [ -s "$T/odd1/$png" ] && [ -s "$T/odd2/$png" ] || fail "no picture for $name"
    done
    [ -z "$(find "$T" -name 'PWNED*')" ] || fail "a name ran a command"
    ;;
signals)
    # SIGTERM and SIGINT in the middle of POV-Ray's renders: the summary, the
    # exit status of the signal, no program left running, no state file.
    cd "$T/models" || exit 1
    for signal in TERM INT; do
        out=$T/stopped-$signal
        "$brickpov" render --size 1600x1200 --jobs 2 --output-dir "$out" \
            car.ldr pyramid.ldr "two bricks.ldr" >"$T/out" 2>"$T/err" &
        pid=$!
        children=""
        for _ in $(seq 200); do
            children=$(pgrep -P "$pid" -d ' ' -x povray)
            [ -n "$children" ] && break
            sleep 0.05
        done
        [ -n "$children" ] || fail "$signal: POV-Ray never started: $(cat "$T/err")"
        sleep 0.5
        all=$(pgrep -P "$pid" -d ' ')
        kill "-$signal" "$pid"
        wait "$pid"
        rc=$?
        expected=$([ "$signal" = TERM ] && echo 143 || echo 130)
        [ "$rc" -eq "$expected" ] || fail "$signal: exit status $rc, expected $expected"
        grep -q "Rendered 0 of 3 models" "$T/err" && grep -q "stopped by SIG$signal" "$T/err" ||
            fail "$signal: no summary: $(cat "$T/err")"
        sleep 0.2
        for child in $all; do
            state=$(ps -o stat= -p "$child")
            [ -z "$state" ] || [ "${state#Z}" != "$state" ] ||
                fail "$signal: $child ($(ps -o comm= -p "$child")) outlived it"
        done
        [ -z "$(find "$out" -name '*.pov-state' -o -name '*.png' -o -name '*.bmp')" ] ||
            fail "$signal: left $(ls "$out")"
    done
    # POV-Ray killed from outside is named by its signal.
    "$brickpov" render --size 1600x1200 --output-dir "$T/killed" car.ldr >"$T/out" 2>"$T/err" &
    pid=$!
    for _ in $(seq 200); do
        child=$(pgrep -P "$pid" -x povray) && break
        sleep 0.05
    done
    kill -KILL "$child"
    wait "$pid"
    rc=$?
    [ "$rc" -eq 1 ] && grep -q "car.ldr: POV-Ray was killed by SIGKILL" "$T/err" ||
        fail "killed POV-Ray: exit status $rc: $(cat "$T/err")"
    ;;
bad)
    cd "$T/models" || exit 1
    # A scene folder standing where the converter writes makes it fail.
    mkdir -p "$T/out1/pyramid.pov"
    render --size 32x24 --output-dir "$T/out1" --jobs 2 car.ldr missing.ldr pyramid.ldr
    [ "$rc" -eq 1 ] || fail "bad models: exit status $rc, expected 1"
    grep -q "missing.ldr: model not found" "$T/err" || fail "missing model not named: $(cat "$T/err")"
    grep -q "pyramid.ldr: conversion failed" "$T/err" ||
        fail "failed conversion not named: $(cat "$T/err")"
    [ -s "$T/out1/car.bmp" ] || fail "the good model was not rendered: $(cat "$T/err")"

    # A folder stands for its models; one with a missing part renders, counted
    # apart, and fails with --strict.
    mkdir -p "$T/folder/sub"
    printf '1 4 0 0 0 1 0 0 0 1 0 0 0 1 3001.dat\n1 1 0 -24 0 1 0 0 0 1 0 0 0 1 nosuch.dat\n' \
        >"$T/folder/holed.ldr"
    cp car.ldr "$T/folder/"
    cp car.ldr "$T/folder/sub/deep.ldr"
    render --size 32x24 --output-dir "$T/out2" "$T/folder"
    [ "$rc" -eq 0 ] || fail "folder: exit status $rc: $(cat "$T/err")"
    grep -q "Rendered 2 of 2 models, 1 with missing parts" "$T/err" &&
        grep -q 'holed.ldr: cannot find "nosuch.dat"' "$T/err" ||
        fail "folder: warnings not counted apart: $(cat "$T/err")"
    [ ! -e "$T/out2/deep.bmp" ] || fail "folder: a subfolder was taken without --recursive"
    render --size 32x24 --output-dir "$T/out3" --strict --recursive "$T/folder"
    [ "$rc" -eq 1 ] && grep -q "Rendered 2 of 3 models; failed:" "$T/err" ||
        fail "--strict --recursive: exit status $rc: $(cat "$T/err")"

    head -c 40 "$T/my.bps" >"$T/broken.bps"
    render --scene "$T/broken.bps" car.ldr
    [ "$rc" -eq 2 ] && grep -q "broken.bps is not a valid .BPS" "$T/err" ||
        fail "broken scene: exit status $rc: $(cat "$T/err")"
    render --scene "$T/none.bps" car.ldr
    [ "$rc" -eq 2 ] && grep -q "cannot read the scene $T/none.bps" "$T/err" ||
        fail "missing scene: exit status $rc: $(cat "$T/err")"
    ;;
esac

[ "$failures" -eq 0 ] && echo "ok"
exit $((failures > 0))
