// The quiescence search: captures (and, one layer deep, checking moves)
// until the position is quiet, standing pat on the evaluation when not in
// check and trying every evasion when in check.

#include "eval/eval.h"
#include "search/ordering.h"
#include "search/picker.h"
#include "search/search.h"
#include "search/tree.h"

int16_t RepetitionScore(const Position& pos, bool& repeated) {
    // Nothing repeats across a capture or a null move, so most quiescence
    // nodes, reached by a capture, need no walk back through the moves.
    const MoveRecord& last = pos.MoveStack[pos.MoveCount];
    if (last.captured != 0 || last.from == 0) {
        repeated = false;
        return 0;
    }
    const int code = DetectRepetition(pos);
    repeated = code != 0;
    const int16_t win = int16_t(MateScore - int16_t(pos.Ply));
    switch (code) {
        case 2:  // black checks perpetually and loses
            return pos.SideToMove == Red ? win : int16_t(-win);
        case 3:  // red checks perpetually and loses
            return pos.SideToMove == Black ? win : int16_t(-win);
        default:  // a plain repetition, or both sides checking throughout
            return 0;
    }
}

int16_t Quiesce(SearchState& state, Position& pos, int16_t alpha, int16_t beta,
                int8_t checkBudget) {
    // Room on the stacks for every ply the search may still push.
    QUILLON_ASSERT(pos.Ply <= MaxPly && pos.MoveCount + MaxPly < CheckersStackSize + pos.Ply);
    // 1.-2.
    state.nodes++;
    if (pos.Ply >= MaxPly) return int16_t(CachedEvaluate(state.evalCache, pos));
    // 3.-4. Nothing can beat a mate at this ply.
    int16_t best = -MateScore;
    const int16_t matedHere = int16_t(int16_t(pos.Ply) - MateScore);
    if (matedHere >= beta) return matedHere;
    // 5.
    bool repeated;
    const int16_t repetition = RepetitionScore(pos, repeated);
    if (repeated) return repetition;
    // 6. In check: no standing pat, and the evasions do not use up the budget.
    if (SideToMoveInCheck(pos)) {
        checkBudget++;
    } else {
        const int16_t standPat = int16_t(CachedEvaluate(state.evalCache, pos));
        best = standPat;
        if (standPat >= beta) return standPat;
        if (standPat > alpha) alpha = standPat;
    }
    // 7.-8.
    MovePicker picker;
    InitQuiescencePicker(picker, state, pos, checkBudget >= 0);
    while (const Move m = NextQuiescenceMove(picker, pos)) {
        MoveRecord record = RecordOfMove(pos, m);
        if (!MakeMove(record, pos)) continue;
        const int16_t v =
            int16_t(-Quiesce(state, pos, int16_t(-beta), int16_t(-alpha), int8_t(checkBudget - 1)));
        UnmakeMove(pos);
        if (v > best) {
            best = v;
            if (v >= beta) return v;
            if (v > alpha) alpha = v;
        }
    }
    // 9. In check with no evasion that could be played: mated.
    return best == -MateScore ? matedHere : best;
}
