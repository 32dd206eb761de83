// One iteration at the root: every unbanned move to the iteration's depth
// with a principal-variation window; the result is left in the root's hash
// entry, where the deepening loop and the reports read it.

#include "search/ordering.h"
#include "search/picker.h"
#include "search/search.h"
#include "search/tree.h"

int16_t SearchRoot(SearchState& state, Position& pos, int8_t depth) {
    // Room on the stacks for every ply the search may still push.
    QUILLON_ASSERT(pos.Ply <= MaxPly && pos.MoveCount + MaxPly < CheckersStackSize + pos.Ply);
    QUILLON_ASSERT_CONSISTENT(pos);
    // 1. The root's window is fixed, so the picker's cut-off test is moot.
    MovePicker picker;
    InitPicker(picker, state, pos, depth, MateScore, int16_t(-MateScore));
    // 2. A single reply to a check needs no search. It comes before the banned
    //    list: a lone evasion is played even when banned, as nothing else can be.
    if (picker.singleReply) {
        StoreHash(state.hash, pos, MoveOf(picker.moves[0]), -500, depth, BoundExact);
        return -500;
    }
    // 3.
    int16_t best = -MateScore, alpha = -MateScore;
    Move bestMove = 0;
    bool firstMove = true;
    Move searched[MaxSearchedMoves];
    int searchedCount = 0;
    while (const Move m = NextMove(picker, state, pos)) {
        if (IsBanned(state.bans, m)) continue;
        MoveRecord record = RecordOfMove(pos, m);
        if (!MakeMove(record, pos)) continue;
        const int newDepth = SideToMoveInCheck(pos) ? depth : depth - 1;
        int16_t v;
        if (firstMove) {
            v = int16_t(
                -SearchAlphaBeta(state, pos, int8_t(newDepth), -MateScore, int16_t(-alpha), 1));
            firstMove = false;
        } else {
            v = int16_t(-SearchAlphaBeta(state, pos, int8_t(newDepth), int16_t(-alpha - 1),
                                         int16_t(-alpha), 0));
            if (v > alpha)
                v = int16_t(
                    -SearchAlphaBeta(state, pos, int8_t(newDepth), -MateScore, int16_t(-alpha), 1));
        }
        UnmakeMove(pos);
        searched[searchedCount++] = m;
        // The previous iteration's entry stays the answer.
        if (state.stopped) return InterruptedScore;
        if (v >= best) {
            best = v;
            if (v > alpha) {
                alpha = v;
                bestMove = m;
            }
        }
    }
    // 4. No legal, unbanned move leaves move 0 with -10000.
    StatsOf(state.ordering, bestMove).best++;
    CountTried(state.ordering, searched, searchedCount);
    if (pos.Board[MoveTo(bestMove)] == 0) AddHistory(state.ordering, bestMove, depth);
    StoreHash(state.hash, pos, bestMove, best, depth, BoundExact);
    return best;
}
