#!/bin/sh
# Every part of the committed library converts alone and renders in POV-Ray
# without a parse error or a warning.
# Usage: all_parts_test.sh CONVERTER LIBRARY
set -u
converter=$1
library=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ls "$library"/parts/*.dat > "$work/list"
# POV-Ray spends most of a tiny render waiting, so run several at once.
xargs -P 8 -I{} sh -c '
    name=$(basename "{}" .dat)
    cd "$1" || exit 1
    LDRAWDIR="$2" "$3" "{}" "$name.pov" > /dev/null 2> "$name.conv"
    status=$?
    if [ $status -ne 0 ]; then
        echo "FAIL $name: converter exit $status: $(cat "$name.conv")"
        exit 0
    fi
    render() {
        povray +I"$name.pov" +O"$name.png" +W32 +H24 -D -V > "$name.log" 2>&1
    }
    diagnosed() {
        grep -v "Warning Stream" "$name.log" | grep -qiE "warning|error"
    }
    render
    status=$?
    # A parse fault repeats; a render that fails without a word (seen once
    # on a loaded machine) is tried once more before it counts.
    if [ $status -ne 0 ] && ! diagnosed; then
        echo "retried $name after povray exit $status: $(tail -3 "$name.log" | tr "\n" " ")" >&2
        render
        status=$?
    fi
    if [ $status -ne 0 ] || diagnosed; then
        echo "FAIL $name: povray exit $status"
        grep -v "Warning Stream" "$name.log" | grep -iE -A3 "warning|error" | head -8
        tail -5 "$name.log"
    fi
' sh "$work" "$library" "$converter" < "$work/list" > "$work/failures"

count=$(wc -l < "$work/list")
if [ -s "$work/failures" ]; then
    cat "$work/failures"
    echo "$(grep -c '^FAIL' "$work/failures") of $count parts failed"
    exit 1
fi
echo "all $count parts converted and rendered cleanly"
