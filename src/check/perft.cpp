// Perft: counts the legal move paths of a given depth, to check generation
// and MakeMove against known totals. A side in check gets its replies from
// the evasion generator, so the counts check that generator too.

#include "check/check.h"
#include "position/position.h"

uint64_t Perft(Position& pos, int depth) {
    if (depth <= 0) return 1;
    MoveRecord list[MaxGeneratedMoves + 1];
    const int n = SideToMoveInCheck(pos) ? GenerateEvasions(pos, list) : GenerateAll(pos, list);
    uint64_t nodes = 0;
    for (int i = 0; i < n; i++) {
        if (!MakeMoveBySide(list[i], pos)) continue;
        nodes += depth == 1 ? 1 : Perft(pos, depth - 1);
        UnmakeMove(pos);
    }
    return nodes;
}
