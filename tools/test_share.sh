#!/bin/sh
# Test lines against program lines, counted as the review counts them.
cd "$(dirname "$0")/.." || exit 1
git ls-files | grep -E '\.(cpp|h|hpp|cc|c|py|sh|cmake|txt|case|script|expected)$|CMakeLists\.txt$' |
    grep -vE '^(docs|data)/' | while read -r f; do
    n=$(wc -l < "$f")
    case $f in *tests/*) echo "t $n" ;; *) echo "p $n" ;; esac
done | awk '{ s[$1] += $2 } END { printf "tests %d, program %d, share %.1f %%\n", s["t"], s["p"], 100 * s["t"] / s["p"] }'
