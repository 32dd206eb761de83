// One iteration at the root: every unbanned move to the iteration's depth
// with a principal-variation window; the result is left in the root's hash
// entry, where the command loop and the reports read it.

#include "search/search.h"
#include "shell/engine_state.h"

int16_t SearchRoot(int8_t depth, Position& pos) {
    // 1. The root's window is fixed, so the picker's cut-off test is moot.
    MovePicker picker;
    InitPicker(picker, pos, depth, MateScore, int16_t(-MateScore));
    // 2. A single reply to a check needs no search. It comes before the banned
    //    list: a lone evasion is played even when banned, as nothing else can be.
    if (picker.singleReply) {
        StoreHash(pos, MoveOf(picker.moves[0]), -500, depth, BoundExact);
        return -500;
    }
    // 3.
    int16_t best = -MateScore, alpha = -MateScore;
    Move bestMove = 0;
    bool firstMove = true;
    Move searched[MaxSearchedMoves];
    int searchedCount = 0;
    while (const Move m = NextMove(picker, pos)) {
        if (IsBanned(m)) continue;
        MoveRecord record = RecordOfMove(pos, m);
        if (!MakeMove(record, pos)) continue;
        const int newDepth = SideToMoveInCheck(pos) ? depth : depth - 1;
        int16_t v;
        if (firstMove) {
            v = int16_t(-SearchAlphaBeta(int8_t(newDepth), -MateScore, int16_t(-alpha), pos, 1));
            firstMove = false;
        } else {
            v = int16_t(
                -SearchAlphaBeta(int8_t(newDepth), int16_t(-alpha - 1), int16_t(-alpha), pos, 0));
            if (v > alpha)
                v = int16_t(
                    -SearchAlphaBeta(int8_t(newDepth), -MateScore, int16_t(-alpha), pos, 1));
        }
        UnmakeMove(pos);
        searched[searchedCount++] = m;
        // The previous iteration's entry stays the answer.
        if (StopFlag) return InterruptedScore;
        if (v >= best) {
            best = v;
            if (v > alpha) {
                alpha = v;
                bestMove = m;
            }
        }
    }
    // 4. No legal, unbanned move leaves move 0 with -10000.
    BestCount[bestMove]++;
    CountTried(searched, searchedCount);
    if (pos.Board[MoveTo(bestMove)] == 0) AddHistory(bestMove, depth);
    StoreHash(pos, bestMove, best, depth, BoundExact);
    return best;
}

void KeepRootAnswer(const Position& pos, const RootAnswer& answer) {
    if (answer.depth == 0) return;
    HashEntry entry;
    if (ProbeHash(pos, entry) && entry.bound == BoundExact && entry.move == answer.move) return;
    StoreHash(pos, answer.move, answer.score, answer.depth, BoundExact);
}
