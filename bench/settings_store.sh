#!/usr/bin/env bash
# Times the settings store on a store of 40,000 entries: look-ups and a
# change written through (bench_settings_store, against reading the file whole
# in the same run), and a start and exit of the program through the driver
# with that store, against a start and exit with an empty one.
#
#   bench/settings_store.sh BUILD_DIR [ENTRIES]
#
# BUILD_DIR is a build folder configured with -DBRICKPOV_BENCH=ON in which
# bench_settings_store and brickpov-driver have been built; nothing is built
# here. Everything is made under $TMPDIR (else /tmp) and removed afterwards.
set -euo pipefail

if (($# < 1 || $# > 2)); then
    echo "usage: $0 BUILD_DIR [ENTRIES]" >&2
    exit 2
fi
build=$(realpath "$1")
entries=${2:-40000}
bench=$build/bench/bench_settings_store
driver=$build/src/driver/brickpov-driver
for program in "$bench" "$driver"; do
    if [[ ! -x $program ]]; then
        echo "$program not found: configure $1 with -DBRICKPOV_BENCH=ON and build" \
            "bench_settings_store and brickpov-driver" >&2
        exit 2
    fi
done
work=$(mktemp -d "${TMPDIR:-/tmp}/bp_bench_store.XXXXXX")
trap 'rm -rf "$work"' EXIT

# A store as a long-used one may grow: the paths, 20 user views, then recent
# files and entries of other sections up to the count asked for.
make_store() {
    local file=$1 count=$2
    {
        echo "[Brickpov/Paths]"
        echo "L3PPath=$work/program/"
        echo "LGEOPath=Not Installed"
        echo "[Brickpov/Cameras]"
        for ((i = 0; i < 20; i++)); do echo "UserCamera $i=View $i,0,0,-300,0,0,0,0,0,0"; done
        echo "[Brickpov/Other]"
        awk -v n="$count" 'BEGIN { for (i = 23; i < n; i++) printf "Entry %d=/home/me/models/set %d/part.dat\n", i, i }'
    } >"$file"
}

mkdir -p "$work/program" "$work/ldraw" "$work/big/Brickpov" "$work/empty/Brickpov"
: >"$work/program/l3p.exe"
: >"$work/ldraw/LEdit.exe"
make_store "$work/big/Brickpov/settings.ini" "$entries"
make_store "$work/empty/Brickpov/settings.ini" 23
for config in big empty; do
    printf '[LDraw]\nBaseDirectory=%s\n' "$work/ldraw" >"$work/$config/LDraw.ini"
done

cp "$work/big/Brickpov/settings.ini" "$work/copy.ini"
echo "store of $entries entries: $("$bench" "$work/copy.ini" 1000)"

printf 'start\nclose\n' >"$work/run.script"
for config in big empty; do
    start=$(date +%s%N)
    "$driver" --config-dir "$work/$config" --program-dir "$work/program/" --povray none \
        "$work/run.script" >/dev/null
    echo "start and exit, $config store: $((($(date +%s%N) - start) / 1000000)) ms"
done
