#!/bin/sh
# The core's folders include only what lies below them: the window and what
# its features share (window/) lies below the feature folders, and app/,
# which composes them, lies above them all. Feature folders reach each other
# only through app/. The switch table (src/switches) includes neither the
# core nor the converter; the atomic file write (src/posix_file) includes
# none of the others.
core=${1:?usage: layers_test.sh SRC_CORE_DIR}
below() {
    case $1 in
    ui | platform) echo "$1" ;;
    common) echo "common ui platform" ;;
    options) echo "options common" ;;
    window) echo "window options common ui platform" ;;
    app) echo "*" ;;
    about | batch | camera | l3p | lights | preview | scene)
        echo "$1 window options common ui platform" ;;
    *) echo "" ;; # a new folder is placed in this table first
    esac
}
status=0
cd "$core" || exit 2
for file in */*; do
    folder=${file%%/*}
    allowed=$(below "$folder")
    for used in $(sed -n 's|^#include "core/\([a-z0-9_]*\)/.*|\1|p' "$file" | sort -u); do
        case " $allowed " in *" * "* | *" $used "*) ;; *)
            echo "$file includes core/$used/, which $folder/ may not use"
            status=1
            ;;
        esac
    done
done
# Beside the core: the converter never includes the core, the switch table
# neither of them, and of the core only preview/ includes the converter.
if grep -l '^#include "converter/' */* 2>/dev/null | grep -v '^preview/'; then
    echo "(the files above include the converter, which only preview/ may use)"
    status=1
fi
for pair in "../converter core" "../converter platform" "../switches core" "../switches converter" \
    "../posix_file core" "../posix_file converter" "../posix_file platform"; do
    set -- $pair
    if grep -l "^#include \"$2/" "$1"/* 2>/dev/null | grep .; then
        echo "(the files above, in ${1#../}/, include $2/)"
        status=1
    fi
done
exit $status
