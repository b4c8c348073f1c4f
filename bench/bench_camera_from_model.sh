#!/usr/bin/env bash
# Times "Get Camera and Look At settings from Model File" on a generated model
# of about 200 MB whose camera.dat and look_at.dat references stand at its
# end, against `grep -ci camera.dat` on the same file in the same run, and
# prints wall time and peak memory of both.
#
#   bench/bench_camera_from_model.sh BUILD_DIR [MB] [RUNS]
#
# BUILD_DIR holds a built brickpov-driver (src/driver/brickpov-driver); use an
# optimised build for figures worth comparing. Nothing is built here. The
# program is run through the driver, so its figures include starting the
# program; a run on a one-line model gives that share, printed as "start".
# Each figure is the best of RUNS (default 3), the file read once beforehand
# so that every run finds it in the page cache.
set -euo pipefail

if (($# < 1 || $# > 3)); then
    echo "usage: $0 BUILD_DIR [MB] [RUNS]" >&2
    exit 2
fi
driver=$1/src/driver/brickpov-driver
megabytes=${2:-200}
runs=${3:-3}
if [[ ! -x $driver ]]; then
    echo "$driver not found: build brickpov-driver in $1" >&2
    exit 2
fi
if [[ ! -x /usr/bin/time ]]; then
    echo "/usr/bin/time (GNU time) is needed for the peak memory" >&2
    exit 2
fi

T=$(mktemp -d "${TMPDIR:-/tmp}/bp_camera_bench.XXXXXX")
trap 'rm -rf "$T"' EXIT
export T
mkdir -p "$T/config" "$T/program" "$T/ldraw" "$T/models"
: >"$T/program/l3p.exe"
: >"$T/ldraw/LEdit.exe"
printf '[LDraw]\nBaseDirectory=%s/ldraw\n' "$T" >"$T/config/LDraw.ini"

# Part lines with CR LF ends, as LDraw editors write them, then the two
# references.
model=$T/models/big.dat
awk -v bytes=$((megabytes * 1024 * 1024)) 'BEGIN {
    printf "0 Generated model\r\n0 Name: big.dat\r\n"
    n = 0
    while (n < bytes) {
        line = sprintf("1 %d %d %d %d 1 0 0 0 1 0 0 0 1 3004.dat\r\n", n % 16, (n % 997) * 20, -(n % 31) * 24, (n % 509) * 20)
        printf "%s", line
        n += length(line)
    }
    printf "1 16 10 -20.5 300 1 0 0 0 1 0 0 0 1 camera.dat\r\n"
    printf "1 16 0 -24 -100 1 0 0 0 1 0 0 0 1 look_at.dat\r\n"
}' >"$model"
printf '1 16 10 -20.5 300 1 0 0 0 1 0 0 0 1 camera.dat\r\n' >"$T/models/tiny.dat"
echo "model: $(($(stat -c %s "$model") / 1024 / 1024)) MB, $(wc -l <"$model") lines"

# One driver script per model: start on the model, take the camera, show it.
for name in big tiny; do
    cat >"$T/$name.script" <<EOF
setting Paths LGEOPath "Not Installed"
setting Paths ModelPath \${T}/models/
setting Paths POVPath \${T}/models/
setting Paths L3PPath \${T}/program/
start \${T}/models/$name.dat
click Bnt_GetCamFromModel
get Txt_CommandLine.Text
EOF
done

# Runs a command under GNU time; prints "SECONDS KILOBYTES".
measure() {
    /usr/bin/time -f '%e %M' -o "$T/time" "$@" >"$T/out" 2>&1
    cat "$T/time"
}

# The best of the runs: least time, least peak memory.
best() {
    local label=$1
    shift
    local secs=999999 kb=999999999 s k
    for ((i = 0; i < runs; i++)); do
        read -r s k < <(measure "$@")
        secs=$(awk -v a="$s" -v b="$secs" 'BEGIN { print (a < b) ? a : b }')
        if ((k < kb)); then kb=$k; fi
    done
    printf '%-22s %8.2f s %10d KB peak\n' "$label" "$secs" "$kb"
    echo "$secs $kb" >"$T/best.$label"
}

run_driver=("$driver" --config-dir "$T/config" --program-dir "$T/program/" --povray none)

cat "$model" >/dev/null
best start "${run_driver[@]}" "$T/tiny.script"
best camera_from_model "${run_driver[@]}" "$T/big.script"
if ! grep -q -- '-cc10,-20.5,300 -cla0,-24,-100' "$T/out"; then
    echo "the program did not take the camera from the model:" >&2
    cat "$T/out" >&2
    exit 1
fi
best grep_ci grep -ci camera.dat "$model"
echo "grep counted $(cat "$T/out") matching lines"

read -r start_s start_kb <"$T/best.start"
read -r cam_s cam_kb <"$T/best.camera_from_model"
read -r grep_s grep_kb <"$T/best.grep_ci"
awk -v c="$cam_s" -v s="$start_s" -v g="$grep_s" -v mb="$megabytes" 'BEGIN {
    r = c - s
    printf "reading the model: %.2f s (%.0f MB/s); grep -ci: %.2f s (%.0f MB/s); ratio %.1f\n",
        r, (r > 0 ? mb / r : 0), g, (g > 0 ? mb / g : 0), (g > 0 ? r / g : 0)
}'
echo "peak memory above start: $((cam_kb - start_kb)) KB"
