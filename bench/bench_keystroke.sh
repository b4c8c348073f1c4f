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

if (($# < 1 || $# > 2)); then
    echo "usage: $0 BUILD_DIR [N]" >&2
    exit 2
fi
driver=$(realpath "$1/src/driver/brickpov-driver")
n=${2:-200}
if [[ ! -x $driver ]]; then
    echo "$driver not found: build the target brickpov-driver in $1" >&2
    exit 2
fi
command -v valgrind >/dev/null || { echo "valgrind is needed" >&2; exit 2; }

T=$(mktemp -d "${TMPDIR:-/tmp}/bp_keystroke.XXXXXX")
trap 'rm -rf "$T"' EXIT
mkdir -p "$T/config" "$T/program" "$T/ldraw"

session() {
    local keys=$1 i
    cat <<SCRIPT
write $T/program/l3p.exe ""
write $T/ldraw/LEdit.exe ""
write $T/config/LDraw.ini "[LDraw]\nBaseDirectory=$T/ldraw\n"
setting Paths LGEOPath "Not Installed"
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
    (cd "$T" && valgrind --tool=callgrind --callgrind-out-file="$T/callgrind.out" \
        "$driver" --config-dir "$T/config" --program-dir "$T/program/" --povray none \
        "$T/session.script" >"$T/transcript" 2>"$T/valgrind.log")
    if ! grep -q -- '-cg30,4[015],500 -cla' "$T/transcript"; then
        echo "the typing did not reach the command line:" >&2
        cat "$T/transcript" >&2
        exit 1
    fi
    sed -n 's/^summary: *//p' "$T/callgrind.out"
}

base=$(instructions 0)
with=$(instructions "$n")
per=$(((with - base) / n))
echo "session without typing: $base instructions"
echo "session typing $n times: $with instructions"
echo "one keystroke: $per instructions"
