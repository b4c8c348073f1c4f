# Shared by the benchmarks that count a driver session's instructions under
# callgrind. Sourced after setting `usage_n` (the default repetition count)
# and `tag` (the temporary folder's name); takes BUILD_DIR [N] from "$@" and
# sets driver, n and T (a temporary folder with config/, program/, ldraw/).

if (($# < 1 || $# > 2)); then
    echo "usage: $0 BUILD_DIR [N]" >&2
    exit 2
fi
driver=$(realpath "$1/src/driver/brickpov-driver")
n=${2:-$usage_n}
if [[ ! -x $driver ]]; then
    echo "$driver not found: build the target brickpov-driver in $1" >&2
    exit 2
fi
command -v valgrind >/dev/null || { echo "valgrind is needed" >&2; exit 2; }

T=$(mktemp -d "${TMPDIR:-/tmp}/bp_$tag.XXXXXX")
trap 'rm -rf "$T"' EXIT
mkdir -p "$T/config" "$T/program" "$T/ldraw"

# The lines every session starts with: an L3P and an LDraw folder to find.
session_setup() {
    cat <<SCRIPT
write $T/program/l3p.exe ""
write $T/ldraw/LEdit.exe ""
write $T/config/LDraw.ini "[LDraw]\nBaseDirectory=$T/ldraw\n"
setting Paths LGEOPath "Not Installed"
SCRIPT
}

# Runs $T/session.script under callgrind (transcript in $T/transcript) and
# prints the instructions counted.
run_counted() {
    (cd "$T" && valgrind --tool=callgrind --callgrind-out-file="$T/callgrind.out" \
        "$driver" --config-dir "$T/config" --program-dir "$T/program/" --povray none \
        "$T/session.script" >"$T/transcript" 2>"$T/valgrind.log")
}

instructions_counted() {
    sed -n 's/^summary: *//p' "$T/callgrind.out"
}
