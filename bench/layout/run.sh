#!/usr/bin/env bash
# Benchmark of orv-layout's improvement passes: the plain estimates against the fast ones on the
# shipped 285-vertex graph with 1100 directed edges, which runs all 10000 passes. Prints the time
# per pass of each, their ratio, and whether both gave the same totals, placement and status.
#
#   bench/layout/run.sh [PASSES] [REPEATS]
#
# With CALLGRIND=1 it also counts the instructions of 20 passes of each under callgrind, a figure
# that other work on the machine does not disturb.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset default >/dev/null
cmake --build --preset default --target orv-layout-bench >/dev/null
bench=build/bin/orv-layout-bench
graph=layout/samples/directed-1100.orv-graph
"$bench" "$graph" "${1:-10000}" "${2:-3}"
if [ "${CALLGRIND:-0}" = 1 ]; then
    for way in plain fast; do
        out=$(mktemp)
        valgrind --tool=callgrind --callgrind-out-file=/dev/null "$bench" "$graph" 20 1 "$way" \
            2>"$out" >/dev/null
        echo "$way, 20 passes: $(grep -o 'refs: *[0-9,]*' "$out" | tr -s ' ') instructions"
        rm -f "$out"
    done
fi
