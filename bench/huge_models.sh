#!/usr/bin/env bash
# Times the three readers of whole model files on models of 1 GB: counting
# the STEP lines for the render settings, and taking the camera, on a model
# without a single line end; taking the camera from an ordinary model of CR LF
# lines. Against `wc -l` on the same file in the same run; wall time and peak
# memory of each, the file read once beforehand so that every run finds it in
# the page cache.
#
#   bench/huge_models.sh BUILD_DIR [MB]
#
# BUILD_DIR holds a built brickpov-driver; nothing is built here. The program
# runs through the driver, so its figures include starting it; a run on a
# one-line model gives that share ("start").
set -euo pipefail

if (($# < 1 || $# > 2)); then
    echo "usage: $0 BUILD_DIR [MB]" >&2
    exit 2
fi
driver=$1/src/driver/brickpov-driver
megabytes=${2:-1024}
if [[ ! -x $driver || ! -x /usr/bin/time ]]; then
    echo "needs $driver and /usr/bin/time (GNU time)" >&2
    exit 2
fi
T=$(mktemp -d "${TMPDIR:-/tmp}/bp_huge_bench.XXXXXX")
trap 'rm -rf "$T"' EXIT
export T
mkdir -p "$T/config" "$T/program" "$T/ldraw" "$T/models"
: >"$T/program/l3p.exe"
: >"$T/ldraw/LEdit.exe"
printf '[LDraw]\nBaseDirectory=%s/ldraw\n' "$T" >"$T/config/LDraw.ini"

bytes=$((megabytes * 1024 * 1024))
head -c "$bytes" /dev/zero | tr '\0' 'x' >"$T/models/endless.dat"
awk -v bytes="$bytes" 'BEGIN {
    n = 0
    while (n < bytes) {
        line = sprintf("1 %d %d %d %d 1 0 0 0 1 0 0 0 1 3004.dat\r\n", n % 16, (n % 997) * 20, -(n % 31) * 24, (n % 509) * 20)
        printf "%s", line
        n += length(line)
    }
    printf "0 STEP\r\n1 16 10 -20.5 300 1 0 0 0 1 0 0 0 1 camera.dat\r\n"
}' >"$T/models/lines.dat"
printf '1 16 10 -20.5 300 1 0 0 0 1 0 0 0 1 camera.dat\r\n' >"$T/models/tiny.dat"

script() { # NAME MODEL ACTIONS...
    local name=$1 model=$2
    shift 2
    {
        echo 'setting Paths LGEOPath "Not Installed"'
        echo "start \${T}/models/$model"
        printf '%s\n' "$@"
    } >"$T/$name.script"
}
script start tiny.dat
script steps endless.dat "click Chk_Render" "click Chk_SC" "click Btn_RenderOptions" "get Txt_FinalFrame.Text" \
    "click Btn_OK"
script camera_endless endless.dat "answer OK" "click Bnt_GetCamFromModel"
script camera_lines lines.dat "click Bnt_GetCamFromModel" "get Txt_CameraValue(0).Text"

measure() { # LABEL COMMAND...: prints the label, seconds and peak KB
    local label=$1
    shift
    /usr/bin/time -f '%e %M' -o "$T/time" "$@" >"$T/out.$label" 2>&1 ||
        echo "$label failed: $(tail -n 1 "$T/out.$label")" >&2
    read -r s k < <(tail -n 1 "$T/time")
    printf '%-16s %7.2f s %9d KB peak\n' "$label" "$s" "$k"
}
# A POV-Ray that is there enables the render settings; it is never started.
run_driver=("$driver" --config-dir "$T/config" --program-dir "$T/program/" --povray /bin/true)
for model in endless lines; do
    cat "$T/models/$model.dat" >/dev/null
    measure "wc_l_$model" wc -l "$T/models/$model.dat"
done
for name in start steps camera_endless camera_lines; do
    measure "$name" "${run_driver[@]}" "$T/$name.script"
done
grep -h 'Txt_FinalFrame\|Txt_CameraValue' "$T"/out.* || true
