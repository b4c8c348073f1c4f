#!/usr/bin/env bash
# Times `brickpov render` on 100 small models at 320 x 240 against the same
# converter and POV-Ray commands run one after another by a shell loop, in
# the same run, and --jobs 2 against --jobs 1.
#
#   bench/bench_batch.sh BUILD_DIR [MODELS]
#
# BUILD_DIR holds a built brickpov and brickpov-convert (the GUI build);
# nothing is built here. The loop runs the very commands --print-jobs prints,
# so the difference is what brickpov adds: applying the scene, planning,
# starting the programs, collecting their output and checking the pictures.
# The runs alternate (loop, --jobs 1, loop, --jobs 1, --jobs 2), and each
# figure is the better of its runs, so that a burst of load from elsewhere
# on the machine hurts neither side alone.
set -euo pipefail

if (($# < 1 || $# > 2)); then
    echo "usage: $0 BUILD_DIR [MODELS]" >&2
    exit 2
fi
build=$(realpath "$1")
count=${2:-100}
brickpov=$build/src/gui/brickpov
ldraw=$(realpath "$(dirname "$0")/../data/ldraw")
[[ -x $brickpov ]] || { echo "$brickpov not found: build brickpov first" >&2; exit 2; }
command -v povray >/dev/null || { echo "povray not found" >&2; exit 2; }

# Under /tmp, where POV-Ray's I/O restrictions let it write.
work=$(mktemp -d /tmp/bench_batch.XXXXXX)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config LDRAWDIR=$ldraw
mkdir -p "$work/config" "$work/models"

# Small models from the library's bricks: two to five of them in colours and
# places that differ from model to model.
parts=(3001.dat 3003.dat 3004.dat 3010.dat 3020.dat 3022.dat 3023.dat 3039.dat)
colours=(1 2 4 14 15 0 71 72)
for ((i = 0; i < count; i++)); do
    {
        echo "0 Generated model $i"
        for ((b = 0; b < 2 + i % 4; b++)); do
            p=${parts[(i + b * 3) % 8]}
            c=${colours[(i * 5 + b) % 8]}
            echo "1 $c $((b * 20 - 20)) $((b * -24)) $(((i % 3) * 10)) 1 0 0 0 1 0 0 0 1 $p"
        done
    } >"$work/models/model_$i.ldr"
done
models=("$work"/models/model_*.ldr)
options=(--size 320x240 --format png --output-dir "$work/out")

"$brickpov" render --print-jobs "${options[@]}" "${models[@]}" >"$work/jobs"

seconds() { # COMMAND...: wall seconds of the command
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}
loop() {
    while IFS= read -r line; do sh -c "$line" >/dev/null 2>&1; done <"$work/jobs"
}
batch() { # JOBS
    "$brickpov" render "${options[@]}" --jobs "$1" "${models[@]}"
}
best() { printf '%s\n' "$@" | sort -g | head -n 1; }

l1=$(seconds loop)
b1=$(seconds batch 1)
l2=$(seconds loop)
b2=$(seconds batch 1)
j2=$(seconds batch 2)
loop_s=$(best "$l1" "$l2")
jobs1_s=$(best "$b1" "$b2")
printf 'models=%d size=320x240 cores=%d\n' "$count" "$(nproc)"
printf 'shell_loop_s=%.2f (%.2f %.2f)\n' "$loop_s" "$l1" "$l2"
printf 'jobs1_s=%.2f (%.2f %.2f)\n' "$jobs1_s" "$b1" "$b2"
printf 'jobs2_s=%.2f\n' "$j2"
awk -v l="$loop_s" -v b="$jobs1_s" -v j="$j2" 'BEGIN {
    printf "overhead_jobs1_vs_loop=%.1f%%\nspeedup_jobs2_vs_jobs1=%.2f\n", (b / l - 1) * 100, b / j
}'
