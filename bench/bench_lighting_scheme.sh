#!/usr/bin/env bash
# Counts the instructions of applying a lighting scheme with all twenty lights
# in use: brickpov-driver runs the same session under callgrind twice, once
# choosing between two such user schemes N times and once not at all; the
# difference divided by N is the cost of one applied scheme (the cascade of
# box changes and command-line rebuilds included).
#
#   bench/bench_lighting_scheme.sh BUILD_DIR [N]
#
# BUILD_DIR holds a built src/driver/brickpov-driver; nothing is built here.
set -euo pipefail

usage_n=50
tag=lighting
source "$(dirname "$0")/driver_callgrind.sh"

# Two schemes of twenty lights each, every value different between them, so
# that each choice changes every box and every light.
record() {
    local base=$2 r=$1 l
    for ((l = 1; l <= 20; l++)); do
        r+=",$((base + l)),$((base + 2 * l)),$((100 * l)),.$((100 + l)),.$((300 + l)),.$((500 + l)),$((l % 2))"
    done
    echo "$r"
}

session() {
    local choices=$1 i
    session_setup
    cat <<SCRIPT
setting Lights "UserLight 0" $(record Twenty 10)
setting Lights "UserLight 1" $(record Other 40)
start
set ModelPath $T/program/
set POVPath $T/program/
additem Cbo_ModelFile car.dat
set Cbo_ModelFile.ListIndex 0
SCRIPT
    for ((i = 0; i < choices; i++)); do
        echo "choose Cbo_LightPreset $((3 + i % 2))"
    done
    echo "get Txt_CommandLine.Text"
}

instructions() {
    local choices=$1
    session "$choices" >"$T/session.script"
    run_counted
    # Every choice must have put twenty light switches on the command line.
    if ((choices > 0)) && [[ $(grep -o ' -l[gc]' "$T/transcript" | wc -l) -ne 20 ]]; then
        echo "the scheme did not reach the command line:" >&2
        cat "$T/transcript" >&2
        exit 1
    fi
    instructions_counted
}

base=$(instructions 0)
with=$(instructions "$n")
per=$(((with - base) / n))
echo "session without choosing: $base instructions"
echo "session choosing $n times: $with instructions"
echo "one applied scheme of twenty lights: $per instructions (aim: under 2000000)"
