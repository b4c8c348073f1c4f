#!/usr/bin/env bash
# POV-Ray code in a model ("0 L3P IFPOV") that would write a file outside the
# scene's folder, converted and rendered by the real POV-Ray: nothing is
# written, the rest of the model is rendered, and the block is named.
# Usage: ifpov_io_test.sh CONVERTER LDRAW_DIR
set -u
converter=$1
export LDRAWDIR=$2
command -v povray >/dev/null || { echo "POV-Ray not found; skipped"; exit 77; }
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
mkdir "$T/models" "$T/elsewhere"
cd "$T/models" || exit 1
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
n=0
for code in "#fopen F \"$T/elsewhere/written\" write #write (F, \"x\") #fclose F" \
    "#include \"strings.inc\" Parse_String(concat(\"#fo\", \"pen F \\\"$T/elsewhere/written\\\" write\"))" \
    "global_settings { photons { count 10 save_file \"$T/elsewhere/written\" } }"; do
    n=$((n + 1))
    printf '0 Writes\r\n1 4 0 0 0 1 0 0 0 1 0 0 0 1 3001.dat\r\n0 L3P IFPOV\r\n%s\r\n0 L3P ENDPOV\r\n' \
        "$code" >"m$n.ldr"
    "$converter" "m$n.ldr" >"conv$n.log" 2>&1
    grep -q "m$n.ldr line 3: the POV-Ray code .* may read or write files" "conv$n.log" ||
        fail "case $n not named: $(cat "conv$n.log")"
    povray "+Im$n.pov" "+Om$n.png" +W32 +H24 -D -V >"pov$n.log" 2>&1 ||
        fail "case $n: POV-Ray failed: $(tail -3 "pov$n.log")"
    [ -s "m$n.png" ] || fail "case $n: no picture"
    [ -z "$(ls -A "$T/elsewhere")" ] || fail "case $n wrote $(ls "$T/elsewhere")"
done
[ "$failures" -eq 0 ] && echo "ok"
exit $((failures > 0))
