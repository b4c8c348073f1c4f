#!/usr/bin/env bash
# Kills a writer with SIGKILL at random moments, restarting it each time, and
# checks after every kill that the file it replaces over and over still holds
# one of its two contents whole, and that at most one temporary is left.
#
#   crash_test.sh CRASH_WRITER [KILLS]
set -u
writer=$1
kills=${2:-20}
work=$(mktemp -d "${TMPDIR:-/tmp}/bp_crash.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
shopt -s nullglob

# Starts the writer and waits until its first write is done, so that each run
# has cleared what the previous kill left.
start_writer() {
    local kind=$1 target=$2 log=$3 deadline=$((SECONDS + 20))
    : >"$log"
    "$writer" write "$kind" "$target" >"$log" &
    pid=$!
    until [ -s "$log" ]; do
        if ! kill -0 "$pid" 2>/dev/null || ((SECONDS > deadline)); then
            echo "FAIL: $kind writer did not get going"
            return 1
        fi
        sleep 0.005
    done
}

status=0
for kind in settings scene; do
    folder=$work/$kind
    mkdir -p "$folder"
    target=$folder/target
    seen=""
    midway=0
    for ((round = 1; round <= kills; round++)); do
        start_writer "$kind" "$target" "$work/$kind.log" || { status=1; break; }
        sleep "0.$(printf '%03d' $((RANDOM % 250)))"
        kill -KILL "$pid"
        wait "$pid" 2>/dev/null
        if ! state=$("$writer" check "$kind" "$target"); then
            echo "FAIL: $kind after kill $round is torn"
            status=1
            break
        fi
        [[ $seen == *$state* ]] || seen+=$state
        temporaries=("$folder"/.target.tmp-*)
        others=("$folder"/*)
        if ((${#temporaries[@]} > 1 || ${#others[@]} != 1)); then
            echo "FAIL: $kind after kill $round leaves: $(ls -A "$folder" | tr '\n' ' ')"
            status=1
            break
        fi
        midway=$((midway + ${#temporaries[@]}))
    done
    echo "$kind: $((round - 1)) kills checked, contents seen: $seen, killed while writing: $midway"
done
exit $status
