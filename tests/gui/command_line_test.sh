#!/usr/bin/env bash
# The real binary's command line.
#
#   command_line_test.sh BRICKPOV VERSION CONVERTER
#
# --version and --help answer on standard output without a display: Qt is
# given a platform that needs one and there is none, so starting Qt would
# fail. A model file argument starts the program on the offscreen platform,
# which ends once its window is shown (BRICKPOV_QUIT_WHEN_SHOWN).
set -u
brickpov=$(realpath "$1")
version=$2
converter=$(realpath "$3")
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

T=$(mktemp -d "${TMPDIR:-/tmp}/brickpov-command-line.XXXXXX") || exit 2
trap 'rm -rf "$T"' EXIT

# Runs brickpov without a display; sets out, err and status.
run_headless() {
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$T/config" \
        timeout 20 "$brickpov" "$@" >"$T/out" 2>"$T/err"
    status=$?
    out=$(cat "$T/out")
    err=$(cat "$T/err")
}

expect_answer() {
    local what=$1 expected=$2
    if [ "$status" -ne 0 ]; then fail "$what: exit status $status ($err)"; fi
    if [ "$out" != "$expected" ]; then fail "$what printed: $out"; fi
    if [ -n "$err" ]; then fail "$what wrote to standard error: $err"; fi
}

run_headless --version
expect_answer "--version" "brickpov $version"

# The help names the two files where this environment puts them, also when
# Qt's own options come first.
for args in "--help" "-style Fusion -h"; do
    # shellcheck disable=SC2086
    run_headless $args
    expect_answer "$args" "$out"
    [[ $out == "Usage: brickpov [MODEL-FILE]"*"  $T/config/Brickpov/settings.ini"*"  $T/config/LDraw.ini"* ]] ||
        fail "$args printed: $out"
done

# Nothing was set up or written on the way.
if [ -e "$T/config" ]; then fail "the settings folder was created"; fi

# A model file: the window opens and the program ends by itself. L3P,
# LEdit and POV-Ray are found, so that no dialog waits for an answer.
mkdir -p "$T/config/Brickpov" "$T/tools" "$T/ldraw" "$T/models" "$T/bin"
# Our converter stands in as L3P.
cp "$converter" "$T/tools/l3p"
: >"$T/ldraw/LEdit.exe"
printf '#!/bin/sh\n' >"$T/bin/povray"
chmod 755 "$T/bin/povray"
printf '0 model\n' >"$T/models/car.dat"
cat >"$T/config/Brickpov/settings.ini" <<INI
[Brickpov/Paths]
L3PPath=$T/tools/
EXEName=l3p
LDrawPath=$T/ldraw/
LGEOPath=Not Installed
INI
(
    cd "$T/models" &&
        env -u LDRAWDIR PATH="$T/bin:$PATH" QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$T/config" \
            BRICKPOV_QUIT_WHEN_SHOWN=1 timeout 30 "$brickpov" car.dat
) >"$T/out" 2>&1
status=$?
if [ "$status" -ne 0 ]; then fail "brickpov car.dat: exit status $status: $(cat "$T/out")"; fi

if [ "$failures" -ne 0 ]; then
    exit 1
fi
echo "command line answers as expected"
