#!/usr/bin/env bash
# Runs one driver test case and compares its transcript with the expected one.
#
#   run_driver_test.sh DRIVER CASE.script
#
# The case runs in a fresh folder T (exported as ${T}); its first comment lines
# may hold "# locale:", "# needs:", "# installed" and "# env:" (docs/driver.md).
# BRICKPOV_UPDATE=1 writes the transcript to CASE.expected instead of comparing.
set -u

if [ $# -ne 2 ]; then
    echo "usage: $0 DRIVER CASE.script" >&2
    exit 2
fi
driver=$(realpath "$1")
script=$(realpath "$2")
expected="${script%.script}.expected"

locale_name=""
first_line=$(head -n 1 "$script")
if [[ $first_line =~ ^#[[:space:]]*locale:[[:space:]]*([^[:space:]]+) ]]; then
    locale_name=${BASH_REMATCH[1]}
    # locale -a writes de_DE.utf8 for de_DE.UTF-8.
    canonical() { tr '[:upper:]' '[:lower:]' | tr -d -- '-'; }
    wanted=$(printf '%s' "$locale_name" | canonical)
    if ! locale -a 2>/dev/null | canonical | grep -qxF "$wanted"; then
        echo "skipped: locale $locale_name is not installed"
        exit 77
    fi
fi

needs=()
case_env=()
installed=0
while IFS= read -r line; do
    [[ $line =~ ^# ]] || break
    [[ $line =~ ^#[[:space:]]*installed[[:space:]]*$ ]] && installed=1
    if [[ $line =~ ^#[[:space:]]*env:[[:space:]]*([A-Za-z_][A-Za-z0-9_]*=.*)$ ]]; then
        case_env+=("${BASH_REMATCH[1]}")
    fi
    if [[ $line =~ ^#[[:space:]]*needs:(.*)$ ]]; then
        read -ra names <<<"${BASH_REMATCH[1]}"
        needs+=("${names[@]}")
    fi
done <"$script"
declare -A found=()
for name in "${needs[@]}"; do
    # An "l3p" is our own converter under that name.
    if [ "$name" = l3p ] || [ "$name" = brickpov-convert ] && [ -n "${BRICKPOV_CONVERTER:-}" ]; then
        program=$BRICKPOV_CONVERTER
    else
        program=$(command -v "$name") || program=""
    fi
    if [ ! -x "$program" ]; then
        echo "skipped: $name is not there"
        exit 77
    fi
    found[$name]=$program
done

T=$(mktemp -d "${TMPDIR:-/tmp}/brickpov-driver.XXXXXX") || exit 2
trap 'rm -rf "$T"' EXIT
mkdir -p "$T/config" "$T/program" "$T/bin" "$T/work" "$T/home"
export T
for name in "${!found[@]}"; do
    ln -s "${found[$name]}" "$T/bin/$name"
done
if [ $installed = 1 ]; then
    mkdir -p "$T/ldraw" "$T/config/Brickpov"
    : >"$T/program/l3p.exe"
    : >"$T/ldraw/LEdit.exe"
    : >"$T/program/povray"
    printf '[LDraw]\nBaseDirectory=%s/ldraw\n' "$T" >"$T/config/LDraw.ini"
    printf '[Brickpov/Paths]\nLGEOPath=Not Installed\nPovRayProgram=%s/program/povray\n' "$T" \
        >"$T/config/Brickpov/settings.ini"
fi
actual="$T/transcript"

locale_env=()
[ -n "$locale_name" ] && locale_env=(LC_ALL="$locale_name")
for assignment in "${case_env[@]}"; do
    locale_env+=("${assignment//\$\{T\}/$T}")
done
(
    cd "$T/work" &&
        env -u LDRAWDIR -u XDG_CONFIG_HOME HOME="$T/home" PATH="$T/bin" "${locale_env[@]}" "$driver" --config-dir "$T/config" \
            --program-dir "$T/program/" --povray none --timer-scale 0.01 "$script"
) >"$actual.raw" 2>&1
status=$?
[ $status -ne 0 ] && echo "# exit status $status" >>"$actual.raw"

# The temporary folder is named ${T} in the transcript, as in the script. A
# list's items (dump's "  List(i)=..." lines) stand eight to a line.
T="$T" awk 'function flush() { if (n) print items; n = 0 }
{
    t = ENVIRON["T"]; out = ""
    while ((i = index($0, t)) > 0) { out = out substr($0, 1, i - 1) "${T}"; $0 = substr($0, i + length(t)) }
    $0 = out $0
    if (/^  List\(/) { items = n ? items substr($0, 2) : $0; if (++n == 8) flush(); next }
    flush(); print
}
END { flush() }' "$actual.raw" >"$actual"

if [ "${BRICKPOV_UPDATE:-0}" = 1 ]; then
    cp "$actual" "$expected"
    echo "updated $expected"
    exit 0
fi
if [ ! -f "$expected" ]; then
    echo "no expected transcript $expected; the driver printed:"
    cat "$actual"
    exit 1
fi
# The transcript holds what the program printed, not the script's commands;
# "> COMMAND" lines of an expected file written with --echo are passed over.
if ! grep -v '^> ' "$expected" | diff -u --label "expected ${expected##*/}" --label "actual" - "$actual"; then
    exit 1
fi
echo "transcript matches ${expected##*/}"
