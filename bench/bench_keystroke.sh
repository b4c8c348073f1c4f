#!/usr/bin/env bash
# Counts the instructions of one keystroke in a camera value box: the box's
# change handler and the command-line rebuild it ends with, with three lights
# in use, the look-at point and most switches ticked. brickpov-driver runs the
# same session under callgrind twice, once typing N times and once not at all;
# the difference divided by N is the cost of one keystroke.
#
#   bench/bench_keystroke.sh BUILD_DIR [N]
#
# BUILD_DIR holds a built src/driver/brickpov-driver (gcc, Release); nothing
# is built here.
set -euo pipefail

usage_n=200
tag=keystroke
source "$(dirname "$0")/driver_callgrind.sh"

session() {
    local keys=$1 i
    session_setup
    cat <<SCRIPT
start
set ModelPath $T/program/
set POVPath $T/program/
additem Cbo_ModelFile car.dat
set Cbo_ModelFile.ListIndex 0
choose Cbo_LightPreset 0
set Chk_CG.Value 1
type Txt_CameraValue(0) 30
type Txt_CameraValue(1) 45
type Txt_CameraValue(2) 500
click Chk_CLA
click Chk_BU
click Chk_Q
click Chk_O
SCRIPT
    for ((i = 0; i < keys; i++)); do
        echo "type Txt_CameraValue(1) $((40 + i % 2))"
    done
    echo "get Txt_CommandLine.Text"
}

instructions() {
    local keys=$1
    session "$keys" >"$T/session.script"
    run_counted
    if ! grep -q -- '-cg30,4[015],500 -cla' "$T/transcript"; then
        echo "the typing did not reach the command line:" >&2
        cat "$T/transcript" >&2
        exit 1
    fi
    instructions_counted
}

base=$(instructions 0)
with=$(instructions "$n")
per=$(((with - base) / n))
echo "session without typing: $base instructions"
echo "session typing $n times: $with instructions"
echo "one keystroke: $per instructions"
