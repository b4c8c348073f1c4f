#!/bin/sh
# Renders each case of golden_cases.txt at 160 x 120 and compares it with the
# committed picture in golden/. With UPDATE_GOLDEN=1 it writes the pictures
# instead (look at every one before committing it).
# Usage: golden_test.sh CONVERTER SOURCE_DIR
set -u
converter=$1
source=$2
here=$source/tests/converter
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
# Pixels that may differ by more than the fuzz: anti-aliasing and thread
# order make a few edge pixels vary between machines.
limit=200

# POV-Ray gives up when its worker threads start too slowly on a loaded
# machine; that says nothing of the scene, so such a run is tried once more.
render() {
    local log=$1
    shift
    povray "$@" > "$log" 2>&1 && return 0
    grep -q "waiting for worker thread" "$log" || return 1
    povray "$@" > "$log" 2>&1
}

while IFS='|' read -r name model switches povopts; do
    name=$(echo "$name" | xargs)
    case "$name" in '' | '#'*) continue ;; esac
    model=$(echo "$model" | xargs)
    case "$model" in models/*) path=$source/data/ldraw/$model ;; *) path=$here/models/$model ;; esac
    # shellcheck disable=SC2086
    if ! (cd "$work" && LDRAWDIR=$source/data/ldraw LGEODIR=$here/lgeo \
        "$converter" $switches "$path" "$name.pov" > "$name.conv" 2>&1); then
        echo "FAIL $name: converter: $(cat "$work/$name.conv")"
        failed=1
        continue
    fi
    # shellcheck disable=SC2086
    if ! render "$work/$name.log" +I"$work/$name.pov" +O"$work/$name.png" +W160 +H120 -D -V \
        +L"$here/lgeo" $povopts; then
        echo "FAIL $name: povray: $(tail -5 "$work/$name.log")"
        failed=1
        continue
    fi
    if [ "${UPDATE_GOLDEN:-0}" = 1 ]; then
        cp "$work/$name.png" "$here/golden/$name.png"
        continue
    fi
    differ=$(compare -metric AE -fuzz 8% "$here/golden/$name.png" "$work/$name.png" null: 2>&1)
    if [ "${differ%.*}" -gt "$limit" ] 2> /dev/null || ! [ "${differ%.*}" -ge 0 ] 2> /dev/null; then
        echo "FAIL $name: $differ pixels differ"
        failed=1
    else
        echo "ok   $name ($differ pixels differ)"
    fi
done < "$here/golden_cases.txt"
exit $failed
