#!/usr/bin/env bash
# Kills a settings writer with SIGKILL at random moments, restarting it each
# time, and checks after every kill that the store it replaces over and over
# still holds one of its two contents whole, and that at most one temporary is
# left.
# While the settings writer is killed, a peer writes the same store under its
# lock: every kill must leave the lock free for it, and at the end every key
# the peer wrote must be there.
#
#   crash_test.sh CRASH_WRITER [KILLS]
set -u
writer=$1
kills=${2:-20}
work=$(mktemp -d "${TMPDIR:-/tmp}/bp_crash.XXXXXX") || exit 1
peer=""
trap '[ -n "$peer" ] && kill -KILL "$peer" 2>/dev/null; rm -rf "$work"' EXIT
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

# The last key number the peer has written, or -1.
peer_last() {
    local last
    last=$(tail -n 1 "$work/peer.log" 2>/dev/null)
    echo "${last:--1}"
}

# Waits until the peer writes another key after the one given.
peer_moves_past() {
    local before=$1 deadline=$((SECONDS + 20))
    until (($(peer_last) > before)); do
        if ! kill -0 "$peer" 2>/dev/null || ((SECONDS > deadline)); then
            echo "FAIL: the peer is stuck after key $before"
            return 1
        fi
        sleep 0.005
    done
}

status=0
folder=$work/settings
mkdir -p "$folder"
target=$folder/target
seen=""
midway=0
"$writer" write peer "$target" >"$work/peer.log" &
peer=$!
for ((round = 1; round <= kills; round++)); do
    start_writer settings "$target" "$work/settings.log" || { status=1; break; }
    sleep "0.$(printf '%03d' $((RANDOM % 250)))"
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null
    if ! state=$("$writer" check settings "$target"); then
        echo "FAIL: settings after kill $round is torn"
        status=1
        break
    fi
    [[ $seen == *$state* ]] || seen+=$state
    peer_moves_past "$(peer_last)" || { status=1; break; }
    # The peer's own temporary may be in the middle of its write.
    temporaries=()
    for t in "$folder"/.target.tmp-*; do
        [[ $t == */.target.tmp-$peer-* ]] || temporaries+=("$t")
    done
    others=("$folder"/*)
    if ((${#temporaries[@]} > 1 || ${#others[@]} != 1)); then
        echo "FAIL: settings after kill $round leaves: $(ls -A "$folder" | tr '\n' ' ')"
        status=1
        break
    fi
    midway=$((midway + ${#temporaries[@]}))
done
kill -KILL "$peer"
wait "$peer" 2>/dev/null
peer=""
if ! "$writer" check peer "$target" "$(peer_last)"; then
    echo "FAIL: keys the peer wrote are lost"
    status=1
fi
echo "peer: $(($(peer_last) + 1)) keys written beside the killed writer, all kept"
echo "settings: $((round - 1)) kills checked, contents seen: $seen, killed while writing: $midway"
exit $status
