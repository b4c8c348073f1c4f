#!/usr/bin/env bash
# The converter killed (SIGKILL) at random moments of its run, again and
# again: no temporary file is ever left beside the scene, and the scene is
# always the old one or the whole new one. (Links and modes: the unit tests of
# the atomic write the converter shares with the settings store.)
# Usage: kill_test.sh CONVERTER LDRAW_DIR [KILLS]
set -u
converter=$1
export LDRAWDIR=$2
kills=${3:-150}
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
cd "$T" || exit 1
cp "$LDRAWDIR/models/car.ldr" .
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

"$converter" car.ldr whole.pov >/dev/null 2>&1 || fail "a plain run failed"
# How long a run takes, so that the kills fall all over it.
start=$(date +%s%N)
"$converter" -o car.ldr car.pov >/dev/null 2>&1
span=$((($(date +%s%N) - start) / 1000))
killed=0
for i in $(seq "$kills"); do
    "$converter" -o car.ldr car.pov >/dev/null 2>&1 &
    pid=$!
    sleep "$(printf '0.%06d' $((RANDOM * 32768 % (span + 1) + RANDOM % 1000)))"
    kill -KILL "$pid" 2>/dev/null && killed=$((killed + 1))
    wait "$pid" 2>/dev/null
    cmp -s car.pov whole.pov || fail "kill $i: the scene is not whole"
done
left=$(find . -name '*tmp*' | wc -l)
[ "$left" -eq 0 ] || fail "$left temporary files left: $(ls -a)"
echo "$killed of $kills runs killed in the middle (a run takes ${span} us); $left temporary files left"

# A full disk is named as such, with the file, and leaves nothing (where a
# small file system can be mounted: as root).
mkdir full
if mount -t tmpfs -o size=64k tmpfs full 2>/dev/null; then
    "$converter" "$T/car.ldr" full/car.pov >/dev/null 2>full.err
    grep -q "the disk is full: cannot write \"$T/full/car.pov\"" full.err ||
        fail "full disk: $(cat full.err)"
    [ -z "$(ls -A full)" ] || fail "full disk left $(ls -A full)"
    umount full
fi

[ "$failures" -eq 0 ] && echo "ok"
exit $((failures > 0))
