#!/usr/bin/env bash
# Renders a reference POV-Ray scene of the library's car.ldr (made by another
# program; its path is the argument) and our own conversion of car.ldr with
# the same POV-Ray settings in the same run, and prints both render times.
# Usage: bench/converter_peer.sh BUILD_FOLDER REFERENCE.pov [OUTPUT_FOLDER]
#   e.g. bench/converter_peer.sh build ~/leocad-car.pov /work/bench-out
# The two pictures are kept in OUTPUT_FOLDER (default: a new temporary folder).
set -euo pipefail
build=$1
reference=$(realpath "$2")
out=${3:-$(mktemp -d "${TMPDIR:-/tmp}/brickpov_peer.XXXXXX")}
mkdir -p "$out"
source_dir=$(cd "$(dirname "$0")/.." && pwd)
settings=(+W800 +H600 +A -D -V)

(cd "$out" && LDRAWDIR="$source_dir/data/ldraw" "$build/src/converter/brickpov-convert" -o -fg \
    "$source_dir/data/ldraw/models/car.ldr" ours-car.pov > /dev/null)

render() {
    local start end
    start=$(date +%s.%N)
    (cd "$(dirname "$1")" && povray +I"$1" +O"$2" "${settings[@]}" > "$2.log" 2>&1)
    end=$(date +%s.%N)
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.1f", e - s }'
}
reference_time=$(render "$reference" "$out/reference-car.png")
ours_time=$(render "$out/ours-car.pov" "$out/ours-car.png")
echo "POV-Ray ${settings[*]}"
echo "reference: ${reference_time} s  $out/reference-car.png"
echo "ours:      ${ours_time} s  $out/ours-car.png"
