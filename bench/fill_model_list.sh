#!/usr/bin/env bash
# Times filling the model list from a folder of 10,000 models among 10,000
# other files, against `ls` of the same folder in the same run.
#
#   bench/fill_model_list.sh BUILD_DIR [CALLS]
#
# BUILD_DIR is a build folder configured with -DBRICKPOV_BENCH=ON in which
# the target bench_fill_model_list has been built; nothing is built here.
set -euo pipefail
source "$(dirname "$0")/model_folder.sh"

if (($# < 1 || $# > 2)); then
    echo "usage: $0 BUILD_DIR [CALLS]" >&2
    exit 2
fi
bench=$1/bench/bench_fill_model_list
calls=${2:-20}
if [[ ! -x $bench ]]; then
    echo "$bench not found: configure $1 with -DBRICKPOV_BENCH=ON and build bench_fill_model_list" >&2
    exit 2
fi

folder=$(mktemp -d "${TMPDIR:-/tmp}/bp_model_list.XXXXXX")
trap 'rm -rf "$folder"' EXIT

make_model_folder "$folder"
echo "folder: $(find "$folder" -maxdepth 1 -type f | wc -l) files"

program_ms=$("$bench" "$folder" "$calls" | sed -n 's/.*models=\([0-9]*\) ms_per_call=\([0-9.]*\).*/\1 \2/p')
read -r models program_ms <<<"$program_ms"
if ((models != 10000)); then
    echo "FillModelList listed $models models, not 10000" >&2
    exit 1
fi

if command -v hyperfine >/dev/null; then
    json=$(mktemp)
    hyperfine --shell=none --warmup 3 --runs "$calls" --export-json "$json" \
        "ls $folder" >/dev/null
    ls_ms=$(sed -n 's/.*"mean": *\([0-9.e+-]*\).*/\1/p' "$json" | head -1 |
        awk '{ printf "%.3f", $1 * 1000 }')
    rm -f "$json"
    ls_how="hyperfine, $calls runs"
else
    ls "$folder" >/dev/null # warms the directory cache
    start=$(date +%s%N)
    for ((i = 0; i < calls; i++)); do
        ls "$folder" >/dev/null
    done
    end=$(date +%s%N)
    ls_ms=$(awk -v ns=$((end - start)) -v n="$calls" 'BEGIN { printf "%.3f", ns / n / 1e6 }')
    ls_how="bash loop, $calls runs, process start included"
fi

echo "FillModelList: $program_ms ms per call ($calls calls, $models models)"
echo "ls:            $ls_ms ms per run ($ls_how)"
awk -v p="$program_ms" -v l="$ls_ms" 'BEGIN { printf "ratio:         %.2f (FillModelList / ls)\n", p / l }'
