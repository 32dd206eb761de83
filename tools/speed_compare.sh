#!/usr/bin/env bash
# Measures engine builds against each other in one run, taking turns, so that
# a busy machine slows them alike: each round runs "quillon bench" (its nodes
# per second) for every build in turn, then "quillon perft 5" (its seconds).
# Prints each build's figures and their medians.
#
# Usage: tools/speed_compare.sh [-r ROUNDS] ENGINE...   (default 5 rounds)
set -euo pipefail

rounds=5
if [ "${1:-}" = "-r" ]; then
    rounds=$2
    shift 2
fi
if [ $# -lt 1 ]; then
    echo "usage: tools/speed_compare.sh [-r ROUNDS] ENGINE..." >&2
    exit 2
fi
results=$(mktemp)
trap 'rm -f "$results"' EXIT

engines=("$@")
for ((round = 1; round <= rounds; round++)); do
    for i in "${!engines[@]}"; do
        nps=$("${engines[i]}" bench 2>/dev/null | awk '/^Nodes\/second/ {print $3}')
        echo "$i bench $nps" >>"$results"
    done
    for i in "${!engines[@]}"; do
        # perft prints its time on the error stream.
        seconds=$("${engines[i]}" perft 5 2>&1 >/dev/null | awk '/^Time:/ {print $2}')
        echo "$i perft $seconds" >>"$results"
    done
done

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
for what in bench perft; do
    case $what in
    bench) echo "quillon bench, nodes per second:" ;;
    perft) echo "quillon perft 5, seconds:" ;;
    esac
    for i in "${!engines[@]}"; do
        values=$(awk -v e="$i" -v w="$what" '$1 == e && $2 == w {print $3}' "$results")
        echo "  ${engines[i]}: $(echo "$values" | tr '\n' ' ')median $(echo "$values" | median)"
    done
done
