#!/usr/bin/env bash
# Conversion time and peak memory of brickpov-convert on generated grid
# models of 1,000, 10,000 and 30,000 parts (bricks, plates and slopes of the
# committed library in several colours), to show how they grow.
# Usage: bench/converter_scale.sh BUILD_FOLDER [PARTS...]
set -euo pipefail
build=$1
shift
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(1000 10000 30000)
source_dir=$(cd "$(dirname "$0")/.." && pwd)
converter=$build/src/converter/brickpov-convert
work=$(mktemp -d "${TMPDIR:-/tmp}/brickpov_convert_bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

parts=(3001.dat 3003.dat 3020.dat 3023.dat 3039.dat 3040b.dat 3068b.dat 3622.dat)
colours=(4 1 14 2 15 0 71 25)
printf '%8s %10s %12s %12s\n' parts seconds peak_MB pov_MB
for n in "${sizes[@]}"; do
    model=$work/grid_$n.ldr
    {
        echo "0 Grid of $n parts"
        side=$(awk -v n="$n" 'BEGIN { s = int(sqrt(n)); if (s * s < n) s++; print s }')
        awk -v n="$n" -v side="$side" -v p="${parts[*]}" -v c="${colours[*]}" 'BEGIN {
            split(p, parts, " "); split(c, colours, " ")
            for (i = 0; i < n; i++) {
                x = (i % side) * 100; z = int(i / side) * 60; y = -24 * (i % 3)
                printf "1 %s %d %d %d 1 0 0 0 1 0 0 0 1 %s\n", colours[i % 8 + 1], x, y, z, parts[i % 8 + 1]
            }
        }'
    } > "$model"
    /usr/bin/time -v env LDRAWDIR="$source_dir/data/ldraw" "$converter" -o "$model" "$work/out.pov" \
        > /dev/null 2> "$work/time.txt"
    seconds=$(grep "Elapsed (wall clock)" "$work/time.txt" | awk '{ print $NF }' |
        awk -F: '{ print ($1 * 60) + $2 }')
    peak=$(grep "Maximum resident" "$work/time.txt" | awk '{ printf "%.1f", $NF / 1024 }')
    size=$(stat -c %s "$work/out.pov" | awk '{ printf "%.1f", $1 / 1048576 }')
    printf '%8d %10s %12s %12s\n' "$n" "$seconds" "$peak" "$size"
done
