#!/bin/sh
# Games for the tuner: the engine against variants of itself (history
# pruning or checks in the quiescence search switched off) at fixed node
# counts, the book off (else openings that begin alike end in one line), from
# every opening of tools/match/openings.txt and the 6-, 8- and 10-ply
# beginnings of the lines of tools/repertoire.txt, each with both colours.
# The engine plays a fixed node count deterministically: the pairings and node
# counts differ so that the games do.
#
# usage: tools/tune/make_data.sh BUILD_DIR OUT_DIR
# writes OUT_DIR/openings.txt and OUT_DIR/games.pgn (about 40 minutes on one free core).
set -e
build=$1
out=$2
here=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$out"
{
    grep -v '^#' "$here/tools/match/openings.txt" | grep .
    grep -v '^#' "$here/tools/repertoire.txt" | grep . | sed 's/:[0-9]*//g' |
        awk '{ for (n = 6; n <= 10; n += 2) if (NF >= n) {
                   s = $1; for (i = 2; i <= n; i++) s = s " " $i; print s } }'
} | sort -u > "$out/openings.txt"
openings=$(wc -l < "$out/openings.txt")
games=$((2 * openings))
engine="$build/quillon"
: > "$out/games.pgn"
play() {
    nodes=$1
    shift
    "$build/match" "$@" --nodes "$nodes" --openings "$out/openings.txt" --games "$games" \
        --concurrency 1 --pgn "$out/games_$nodes.pgn" > "$out/match_$nodes.log"
    cat "$out/games_$nodes.pgn" >> "$out/games.pgn"
}
quillon="cmd=$engine name=quillon option.usebook=false"
no_history="cmd=$engine name=no_history option.usebook=false option.use_history_pruning=false"
no_checks="cmd=$engine name=no_checks option.usebook=false option.check_in_quiescence=false"
play 30000 --engine $quillon --engine $no_history
play 20000 --engine $quillon --engine $no_checks
