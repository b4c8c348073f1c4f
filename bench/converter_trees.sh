#!/usr/bin/env bash
# Conversion time and peak memory of brickpov-convert on the models that
# test the geometry stage's walks: a 10,000-part grid, 10,000 parts of 400
# distinct library parts, 14,000 nested submodels, and eight-level exploding
# trees (each level placing the next ten times) of submodels and of parts,
# against a one-part model in the same run (start-up and LDConfig).
# Usage: bench/converter_trees.sh BUILD_FOLDER [LIBRARY]
# LIBRARY (default data/ldraw) gives the distinct parts; the full library
# has thousands to choose from.
set -euo pipefail
build=$1
source_dir=$(cd "$(dirname "$0")/.." && pwd)
library=${2:-$source_dir/data/ldraw}
converter=$(cd "$build" && pwd)/src/converter/brickpov-convert
work=$(mktemp -d "${TMPDIR:-/tmp}/brickpov_trees_bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# One part.
echo "1 4 0 0 0 1 0 0 0 1 0 0 0 1 3001.dat" > "$work/one.ldr"

# The grid of converter_scale.sh.
parts=(3001.dat 3003.dat 3020.dat 3023.dat 3039.dat 3040b.dat 3068b.dat 3622.dat)
awk -v p="${parts[*]}" 'BEGIN {
    split(p, parts, " ")
    for (i = 0; i < 10000; i++)
        printf "1 %d %d %d %d 1 0 0 0 1 0 0 0 1 %s\n", i % 16, (i % 100) * 100, -24 * (i % 3),
            int(i / 100) * 60, parts[i % 8 + 1]
}' > "$work/grid.ldr"

# 10,000 placements of 400 distinct parts: the first 400 of the library's
# parts folder.
find "$library/parts" -maxdepth 1 -iname '*.dat' -printf '%f\n' | sort | awk 'NR <= 400' > "$work/names"
awk 'NR == FNR { name[n++] = $0; next } END {
    for (i = 0; i < 10000; i++)
        printf "1 %d %d 0 %d 1 0 0 0 1 0 0 0 1 %s\n", i % 16, (i % 100) * 120,
            int(i / 100) * 120, name[i % n]
}' "$work/names" /dev/null > "$work/distinct.ldr"

# 14,000 submodels, each placing the next.
awk 'BEGIN {
    print "0 FILE main.ldr"; print "1 4 0 0 0 1 0 0 0 1 0 0 0 1 s1.ldr"
    for (i = 1; i < 14000; i++) { print "0 FILE s" i ".ldr"; print "1 16 1 0 0 1 0 0 0 1 0 0 0 1 s" i + 1 ".ldr" }
    print "0 FILE s14000.ldr"; print "1 16 0 0 0 1 0 0 0 1 0 0 0 1 3001.dat"
}' > "$work/deep.mpd"

# Eight levels, each placing the next ten times: submodels, then parts.
mkdir -p "$work/lib/parts"
cp -r "$source_dir/data/ldraw/p" "$source_dir/data/ldraw/LDConfig.ldr" "$work/lib/"
cp "$source_dir/data/ldraw/parts/3001.dat" "$work/lib/parts/"
{
    echo "0 FILE main.ldr"
    echo "1 4 0 0 0 1 0 0 0 1 0 0 0 1 m1.ldr"
    for i in 1 2 3 4 5 6 7 8; do
        echo "0 FILE m$i.ldr"
        if [ $i -lt 8 ]; then
            for k in 0 1 2 3 4 5 6 7 8 9; do echo "1 16 $((k * 30)) 0 0 1 0 0 0 1 0 0 0 1 m$((i + 1)).ldr"; done
        else
            echo "1 16 0 0 0 1 0 0 0 1 0 0 0 1 3001.dat"
        fi
    done
} > "$work/models.mpd"
for i in 1 2 3 4 5 6 7 8; do
    {
        echo "0 Level $i"
        echo "0 !LDRAW_ORG Part"
        if [ $i -lt 8 ]; then
            for k in 0 1 2 3 4 5 6 7 8 9; do echo "1 16 $((k * 30)) 0 0 1 0 0 0 1 0 0 0 1 x$((i + 1)).dat"; done
        else
            echo "1 16 0 0 0 1 0 0 0 1 0 0 0 1 3001.dat"
        fi
    } > "$work/lib/parts/x$i.dat"
done
echo "1 4 0 0 0 1 0 0 0 1 0 0 0 1 x1.dat" > "$work/parts.ldr"

# Wall time, and CPU time (user and system), which a loaded machine disturbs
# less.
printf '%-10s %8s %8s %8s %8s %8s  %s\n' model parts seconds cpu_s peak_MB pov_MB "floor y"
measure() { # NAME MODEL LIBRARY
    /usr/bin/time -v env LDRAWDIR="$3" "$converter" -o -fg "$2" "$work/out.pov" \
        > "$work/out.txt" 2> "$work/time.txt" || true
    seconds=$(grep "Elapsed (wall clock)" "$work/time.txt" | awk '{ print $NF }' |
        awk -F: '{ print ($1 * 60) + $2 }')
    cpu=$(awk -F': ' '/User time|System time/ { s += $2 } END { printf "%.2f", s }' "$work/time.txt")
    peak=$(grep "Maximum resident" "$work/time.txt" | awk '{ printf "%.1f", $NF / 1024 }')
    size=$(stat -c %s "$work/out.pov" | awk '{ printf "%.1f", $1 / 1048576 }')
    count=$(awk '/^Parts:/ { print $2 }' "$work/out.txt")
    floor=$(awk -F'[=;]' '/^#declare BPFloorY/ { print $2 }' "$work/out.pov")
    printf '%-10s %8s %8s %8s %8s %8s  %s\n' "$1" "$count" "$seconds" "$cpu" "$peak" "$size" "$floor"
}
measure one "$work/one.ldr" "$source_dir/data/ldraw"
measure grid "$work/grid.ldr" "$source_dir/data/ldraw"
measure distinct "$work/distinct.ldr" "$library"
measure deep "$work/deep.mpd" "$source_dir/data/ldraw"
measure models "$work/models.mpd" "$work/lib"
measure parts "$work/parts.ldr" "$work/lib"
