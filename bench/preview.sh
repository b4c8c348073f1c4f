#!/bin/bash
# The Preview window's figures on Mesa's software renderer under Xvfb: the
# car of the committed library, and a model of 10,000 parts of 400 kinds
# drawn from a full LDraw library.
#
# usage: bench/preview.sh BUILD-DIR [FULL-LIBRARY] [FRAMES]
set -euo pipefail
build=${1:?usage: preview.sh BUILD-DIR [FULL-LIBRARY] [FRAMES]}
library=${2:-/work/ldraw-full}
frames=${3:-10}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" LIBGL_ALWAYS_SOFTWARE=1
mkdir -p "$XDG_CONFIG_HOME/Brickpov"
python3 "$here/preview_model.py" "$library" 10000 400 "$work/many.ldr"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
run() {
    printf '[Brickpov/Paths]\nL3PPath=%s/\nEXEName=brickpov-convert\nLDrawPath=%s/\nLGEOPath=Not Installed\n' \
        "$(cd "$build/src/converter" && pwd)" "$2" >"$XDG_CONFIG_HOME/Brickpov/settings.ini"
    xvfb-run -a -s '-screen 0 1280x1024x24' "$build/bench/bench_preview" "$1" "$2" "$frames" |
        grep -v '^QStandardPaths'
}
run "$here/../data/ldraw/models/car.ldr" "$here/../data/ldraw"
run "$work/many.ldr" "$library"
