// The principal-variation search below the root: fail-soft negamax with the
// hash table, null move, check and single-reply extensions, history pruning
// and reductions driven by each move's success ratio, killers and history.

#include "eval/eval.h"
#include "search/ordering.h"
#include "search/picker.h"
#include "search/search.h"
#include "search/time_manager.h"
#include "search/transposition.h"
#include "search/tree.h"

namespace {

// Success ratios below which a quiet move is pruned (shallow or deeper
// nodes), and below which a move is searched one ply shallower.
constexpr uint32_t PruneRatioShallow = 4915;
constexpr uint32_t PruneRatioDeep = 3276;
constexpr uint32_t ReduceRatio = 9830;
constexpr int32_t NullMoveMaterial = 400;
constexpr int NullMoveReduction = 3;

int16_t SearchChild(SearchState& state, Position& pos, int8_t depth, int16_t alpha, int16_t beta,
                    uint8_t pvNode);

}  // namespace

int16_t SearchAlphaBeta(SearchState& state, Position& pos, int8_t depth, int16_t alpha,
                        int16_t beta, uint8_t pvNode) {
    // Room on the stacks for every ply the search may still push.
    QUILLON_ASSERT(pos.Ply <= MaxPly && pos.MoveCount + MaxPly < CheckersStackSize + pos.Ply);
    // 1. Depth limit.
    if (pos.Ply >= MaxPly) return int16_t(CachedEvaluate(state.evalCache, pos));
    // 2. Horizon: the depth left becomes the quiescence's check budget.
    if (depth <= 0) return Quiesce(state, pos, alpha, beta, depth);
    // 3. Mate-distance cut.
    const int16_t matedHere = int16_t(int16_t(pos.Ply) - MateScore);
    if (matedHere >= beta) return matedHere;
    // 4. Repetition.
    bool repeated;
    const int16_t repetition = RepetitionScore(pos, repeated);
    if (repeated) return repetition;
    // 5. Input poll, and the clock under a time control; a node limit, once
    //    the first iteration has given an answer.
    if ((depth > 5 && ShouldInterrupt(state)) ||
        (state.nodeLimit && state.nodes >= state.nodeLimit && state.rootDepth > 1)) {
        state.stopped = true;
        return InterruptedScore;
    }
    // 6.
    state.nodes++;
    // 7. Hash. A null move's child with depth left will probe too: ask for
    //    its bucket now, so that both fetches overlap.
    const bool tryNull = depth > 1 && (pvNode != 1 || (pos.Ply & 1)) &&
                         pos.RedValue > NullMoveMaterial && !SideToMoveInCheck(pos);
    if (tryNull && depth - NullMoveReduction > 0)
        PrefetchHash(state.hash, CurrentKey(pos) ^ ZobristSide);
    MovePicker picker;
    const int16_t hashValue = InitPicker(picker, state, pos, depth, alpha, beta);
    if (hashValue != NoHashCutoff) return hashValue;
    // 8.
    const bool inCheck = SideToMoveInCheck(pos);
    // 9. Null move.
    if (tryNull) {
        MakeNullMove(pos);
        const int16_t v = int16_t(-SearchChild(state, pos, int8_t(depth - NullMoveReduction),
                                               int16_t(-beta), int16_t(-alpha), 0));
        UnmakeNullMove(pos);
        if (v >= beta) return v;
    }
    // 10. The moves.
    int16_t best = -MateScore;
    uint8_t bound = BoundUpper;
    Move bestMove = 0;
    bool firstMove = true;
    Move searched[MaxSearchedMoves];
    int searchedCount = 0;
    int lastDepth = depth;
    Move prefetched = 0;
    // What the pruning and reduction tests ask of the node, once for all its moves.
    const bool pruningNode =
        state.options.historyPruning && !inCheck && depth <= state.rootDepth / 2 && pvNode != 1;
    const bool reducingNode =
        state.options.historyReduction && depth >= 3 && pvNode != 1 && !inCheck;
    while (const Move m = NextMove(picker, state, pos)) {
        // 10.1-10.2 History pruning of quiet moves that rarely turn out best.
        //          The ratio costs a division: it is read only where it counts
        //          (nothing changes the counters before the reduction reads it).
        if (pruningNode && searchedCount >= 3 && lastDepth < depth && pos.Board[MoveTo(m)] == 0 &&
            SuccessRatio(state.ordering, m) < (depth <= 2 ? PruneRatioShallow : PruneRatioDeep))
            continue;
        // 10.3 A child with depth left will probe the table: ask for its
        //      bucket, and for that of the move after it, which then arrives
        //      while this move's subtree is searched.
        if (depth >= 2) {
            if (m != prefetched) PrefetchHash(state.hash, KeyAfterMove(pos, m));
            prefetched = PeekNextMove(picker);
            if (prefetched) PrefetchHash(state.hash, KeyAfterMove(pos, prefetched));
        }
        MoveRecord record = RecordOfMove(pos, m);
        if (!MakeMove(record, pos)) continue;
        // 10.4 Extensions: a single reply, or a move that gives check.
        int newDepth = (picker.singleReply || SideToMoveInCheck(pos)) ? depth : depth - 1;
        lastDepth = newDepth;
        // 10.5 History reduction.
        bool reduced = false;
        if (reducingNode && searchedCount >= 3 && newDepth < depth &&
            SuccessRatio(state.ordering, m) < ReduceRatio) {
            newDepth--;
            lastDepth = newDepth;
            reduced = true;
        }
        if (depth < 2 && newDepth > 0) PrefetchHash(state.hash, CurrentKey(pos));
        // 10.6 Principal variation search.
        int16_t v;
        if (firstMove || pvNode != 1) {
            v = int16_t(-SearchChild(state, pos, int8_t(newDepth), int16_t(-beta), int16_t(-alpha),
                                     pvNode));
            firstMove = false;
        } else {
            v = int16_t(-SearchChild(state, pos, int8_t(newDepth), int16_t(-alpha - 1),
                                     int16_t(-alpha), 0));
            if (v > alpha && v < beta)
                v = int16_t(
                    -SearchChild(state, pos, int8_t(newDepth), int16_t(-beta), int16_t(-alpha), 1));
        }
        // 10.7 A reduced move that raises alpha gets its full depth back.
        if (state.options.historyReduction && reduced && v > alpha) {
            newDepth++;
            lastDepth = newDepth;
            v = int16_t(-SearchChild(state, pos, int8_t(newDepth), int16_t(-beta), int16_t(-alpha),
                                     pvNode));
        }
        // 10.8
        UnmakeMove(pos);
        searched[searchedCount++] = m;
        // 10.9 Interrupted: store and learn nothing.
        if (state.stopped) return InterruptedScore;
        // 10.10
        if (v >= best) {
            best = v;
            if (v >= beta) {
                // 12. Cut-off.
                StatsOf(state.ordering, m).best++;
                CountTried(state.ordering, searched, searchedCount);
                StoreHash(state.hash, pos, m, ValueToHash(v, pos.Ply), depth, BoundLower);
                if (record.captured) return v;
                AddHistory(state.ordering, m, depth);
                UpdateKillers(state.ordering, record, pos.Ply);
                return v;
            }
            if (v > alpha) {
                alpha = v;
                bestMove = m;
                bound = BoundExact;
            }
        }
    }
    // 11. All moves searched without a cut-off.
    if (bound == BoundExact) {
        StatsOf(state.ordering, bestMove).best++;
        CountTried(state.ordering, searched, searchedCount);
    }
    if (best == -MateScore) return matedHere;  // no legal move: the side to move loses
    const bool mate = best <= -MateThreshold || best >= MateThreshold;
    if (!mate && bound == BoundExact && pos.Board[MoveTo(bestMove)] == 0)
        AddHistory(state.ordering, bestMove, depth);
    StoreHash(state.hash, pos, bestMove, ValueToHash(best, pos.Ply), depth, bound);
    return best;
}

namespace {

// A child at the horizon goes straight to the quiescence search, sparing the
// full node's frame (the depth limit stays the full node's: it returns before
// counting the node).
inline int16_t SearchChild(SearchState& state, Position& pos, int8_t depth, int16_t alpha,
                           int16_t beta, uint8_t pvNode) {
    if (depth <= 0 && pos.Ply < MaxPly) return Quiesce(state, pos, alpha, beta, depth);
    return SearchAlphaBeta(state, pos, depth, alpha, beta, pvNode);
}

}  // namespace
