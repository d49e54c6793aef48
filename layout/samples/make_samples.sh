#!/usr/bin/env bash
# Regenerates the sample graphs shipped beside this script.
#   directed-1100: 1100 directed edges; the carried total keeps falling, so it runs all 10000
#                  passes (the benchmark graph).
#   symmetric-300: 300 edges listed from both ends; ends after 17 passes (the demo graph).
set -euo pipefail
cd "$(dirname "$0")"
./make_graph.py --seed 7 --edges 1100 >directed-1100.orv-graph
./make_graph.py --seed 3 --edges 300 --symmetric >symmetric-300.orv-graph
