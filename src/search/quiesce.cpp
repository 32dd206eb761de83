// The quiescence search: captures (and, one layer deep, checking moves)
// until the position is quiet, standing pat on the evaluation when not in
// check and trying every evasion when in check.

#include "eval/eval.h"
#include "search/ordering.h"
#include "search/picker.h"
#include "search/search.h"
#include "search/tree.h"

template <SearchProfile Profile>
int16_t Quiesce(SearchState& state, Position& pos, int16_t alpha, int16_t beta,
                int8_t checkBudget) {
    // Room on the stacks for every ply the search may still push.
    QUILLON_ASSERT(pos.Ply <= MaxPly && pos.MoveCount + MaxPly < CheckersStackSize + pos.Ply);
    // 1.-2.
    state.nodes++;
    if (int32_t(pos.Ply) > state.selDepth) state.selDepth = int32_t(pos.Ply);
    if (pos.Ply >= MaxPly) return int16_t(CachedEvaluate<Profile>(state.evalCache, pos));
    // 3.-4. Nothing can beat a mate at this ply.
    int16_t best = -MateScore;
    const int16_t matedHere = int16_t(int16_t(pos.Ply) - MateScore);
    if (matedHere >= beta) return matedHere;
    // 5.
    bool repeated;
    const int16_t repetition = Profile == ProfileModern ? RuledRepetitionScore(state, pos, repeated)
                                                        : RepetitionScore(pos, repeated);
    if (repeated) return repetition;
    // 6. In check: no standing pat, and the evasions do not use up the budget.
    if (SideToMoveInCheck(pos)) {
        checkBudget++;
    } else {
        const int16_t standPat = int16_t(CachedEvaluate<Profile>(state.evalCache, pos));
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
        const int16_t v = int16_t(-Quiesce<Profile>(state, pos, int16_t(-beta), int16_t(-alpha),
                                                    int8_t(checkBudget - 1)));
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

template int16_t Quiesce<ProfileClassic>(SearchState&, Position&, int16_t, int16_t, int8_t);
template int16_t Quiesce<ProfileModern>(SearchState&, Position&, int16_t, int16_t, int8_t);
