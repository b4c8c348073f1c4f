#!/usr/bin/env bash
# Times Brickpov's start-up, from the start of the process to its main window
# first shown, against a bare Qt program that shows an empty window, in the
# same run, both on Qt's offscreen platform.
#
#   bench/startup.sh BUILD_DIR [RUNS]
#
# BUILD_DIR is a build folder configured with -DBRICKPOV_BENCH=ON in which
# brickpov, bare_window and brickpov_convert_program have been built; nothing is built
# here. Use an optimised build for figures worth comparing:
#
#   cmake -S . -B build-bench -G Ninja -DBRICKPOV_BENCH=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
#   cmake --build build-bench --target brickpov bare_window brickpov_convert_program
#   bench/startup.sh build-bench          # 20 runs of each
#
# Brickpov ends itself once its window is shown through the environment
# variable BRICKPOV_QUIT_WHEN_SHOWN=1, which is there for this and for the
# command-line test, and not for people. It starts on a set-up of its own
# under $TMPDIR (else /tmp), removed afterwards: a settings store as full as
# it gets (every path, 20 user views, 17 user lighting schemes of 20 lights,
# 10 recent scenes), a model folder of 10,000 models among 10,000 other
# files, our converter as L3P and an LEdit file where it looks, so that no
# dialog comes, and POV-Ray (the real one when installed, else a stand-in).
set -euo pipefail
source "$(dirname "$0")/model_folder.sh"

if (($# < 1 || $# > 2)); then
    echo "usage: $0 BUILD_DIR [RUNS]" >&2
    exit 2
fi
build=$(realpath "$1")
runs=${2:-20}
brickpov=$build/src/gui/brickpov
bare=$build/bench/bare_window
converter=$build/src/converter/brickpov-convert
for program in "$brickpov" "$bare" "$converter"; do
    if [[ ! -x $program ]]; then
        echo "$program not found: configure $1 with -DBRICKPOV_BENCH=ON and build brickpov," \
            "bare_window and brickpov_convert_program" >&2
        exit 2
    fi
done

T=$(mktemp -d "${TMPDIR:-/tmp}/bp_startup.XXXXXX")
trap 'rm -rf "$T"' EXIT
mkdir -p "$T/config/Brickpov" "$T/tools" "$T/ldraw" "$T/models" "$T/scenes" "$T/bin"
cp "$converter" "$T/tools/l3p"
: >"$T/ldraw/LEdit.exe"
if ! command -v povray >/dev/null; then
    printf '#!/bin/sh\n' >"$T/bin/povray"
    chmod 755 "$T/bin/povray"
fi

make_model_folder "$T/models"

{
    echo "[Brickpov/Paths]"
    echo "L3PPath=$T/tools/"
    echo "EXEName=l3p"
    echo "ModelPath=$T/models/"
    echo "POVPath=$T/models/"
    echo "LDrawPath=$T/ldraw/"
    echo "LGEOPath=Not Installed"
    echo "[Brickpov/Cameras]"
    for ((n = 0; n < 20; n++)); do
        echo "UserCamera $n=View $n,$((n * 4 - 40)),$((n * 17 % 360)),$((300 + n * 10)),0,67.38,1,0,0,0"
    done
    echo "[Brickpov/Lights]"
    for ((n = 0; n < 17; n++)); do
        record="Scheme $n"
        for ((l = 1; l <= 20; l++)); do
            record+=",$((l * 9 % 90)),$((l * 37 % 360)),$((100 + l)),1,0.8,0.6,0"
        done
        echo "UserLight $n=$record"
    done
    echo "[Brickpov/Recent bps]"
    for ((n = 0; n < 10; n++)); do
        printf '0,0,0,0\n' >"$T/scenes/scene_$n.BPS"
        echo "File $n=$T/scenes/scene_$n.BPS"
    done
} >"$T/config/Brickpov/settings.ini"
printf '[LDraw]\nBaseDirectory=%s/ldraw\n' "$T" >"$T/config/LDraw.ini"

export XDG_CONFIG_HOME=$T/config QT_QPA_PLATFORM=offscreen BRICKPOV_QUIT_WHEN_SHOWN=1
export PATH=$T/bin:$PATH XDG_RUNTIME_DIR=$T/runtime
mkdir -m 700 "$T/runtime"
unset LDRAWDIR
cd "$T"

# Once untimed: it must end by itself. (The offscreen platform warns about
# what it cannot do; that is no failure.)
for program in "$brickpov" "$bare"; do
    if ! out=$(timeout 30 "$program" 2>&1); then
        echo "${program##*/} did not start and end by itself: $out" >&2
        exit 1
    fi
done

if command -v hyperfine >/dev/null; then
    json=$T/times.json
    hyperfine --shell=none --warmup 3 --runs "$runs" --export-json "$json" \
        "$brickpov" "$bare" >/dev/null
    # One mean and one standard deviation per command, in seconds, in order.
    mapfile -t means < <(sed -n 's/.*"mean": *\([0-9.e+-]*\).*/\1/p' "$json")
    mapfile -t stddevs < <(sed -n 's/.*"stddev": *\([0-9.e+-]*\).*/\1/p' "$json")
    ms() { awk -v s="$1" 'BEGIN { printf "%.1f", s * 1000 }'; }
    brickpov_ms=$(ms "${means[0]}") bare_ms=$(ms "${means[1]}")
    brickpov_spread=" ± $(ms "${stddevs[0]}") ms" bare_spread=" ± $(ms "${stddevs[1]}") ms"
    how="hyperfine, $runs runs each after 3 warm-up runs; mean ± standard deviation"
else
    time_runs() {
        local start end
        start=$(date +%s%N)
        for ((i = 0; i < runs; i++)); do
            "$1" >/dev/null
        done
        end=$(date +%s%N)
        awk -v ns=$((end - start)) -v n="$runs" 'BEGIN { printf "%.1f", ns / n / 1e6 }'
    }
    time_runs "$brickpov" >/dev/null # warms the caches
    brickpov_ms=$(time_runs "$brickpov") bare_ms=$(time_runs "$bare")
    brickpov_spread="" bare_spread=""
    how="bash loop, $runs runs each, process start included"
fi

echo "models folder: $(find "$T/models" -maxdepth 1 -type f | wc -l) files"
echo "brickpov:    $brickpov_ms ms$brickpov_spread to its window shown"
echo "bare window: $bare_ms ms$bare_spread"
echo "timing:      $how"
awk -v p="$brickpov_ms" -v b="$bare_ms" \
    'BEGIN { printf "ratio:       %.2f (brickpov / bare window); brickpov adds %.1f ms\n", p / b, p - b }'
