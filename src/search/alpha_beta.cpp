// The principal-variation search below the root: fail-soft negamax with the
// hash table, null move, check and single-reply extensions and killers, in
// one code for both profiles. The classic profile prunes and reduces quiet
// moves by each move's success ratio; the modern one prunes by the static
// evaluation (reverse futility, futility, late moves, losing captures),
// reduces late moves by a table, verifies deep null moves and learns from
// history with gravity, counter moves and continuation history.

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
constexpr int16_t NoStaticEval = InterruptedScore;
// The quiet moves of one node remembered for the history's malus.
constexpr int MaxRememberedQuiets = 64;

template <SearchProfile Profile>
int16_t SearchChild(SearchState& state, Position& pos, int8_t depth, int16_t alpha, int16_t beta,
                    uint8_t pvNode);

// The side to move has pieces besides its king, advisors, bishops and pawns
// worth a null move: zugzwang is rare with a rook, horse or cannon on the
// board.
bool NullMoveSafe(const Position& pos) {
    const uint32_t base = SideBase(pos.SideToMove);
    for (uint32_t piece = base + KnightOffset; piece < base + PawnOffset; piece++)
        if (pos.PieceSquare[piece]) return true;
    return false;
}

bool IsKiller(const SearchState& state, const Position& pos, Move m) {
    const MoveRecord* killers = state.ordering.killers[pos.Ply];
    return MoveOf(killers[0]) == m || MoveOf(killers[1]) == m;
}

}  // namespace

template <SearchProfile Profile>
int16_t SearchAlphaBeta(SearchState& state, Position& pos, int8_t depth, int16_t alpha,
                        int16_t beta, uint8_t pvNode) {
    constexpr bool modern = Profile == ProfileModern;
    // Room on the stacks for every ply the search may still push.
    QUILLON_ASSERT(pos.Ply <= MaxPly && pos.MoveCount + MaxPly < CheckersStackSize + pos.Ply);
    // 1. Depth limit.
    if (pos.Ply >= MaxPly) return int16_t(CachedEvaluate<Profile>(state.evalCache, pos));
    // 2. Horizon: the depth left becomes the quiescence's check budget.
    if (depth <= 0) return Quiesce<Profile>(state, pos, alpha, beta, depth);
    // 3. Mate-distance cut: no line from here mates sooner than at the next ply.
    const int16_t matedHere = int16_t(int16_t(pos.Ply) - MateScore);
    if (matedHere >= beta) return matedHere;
    if constexpr (modern) {
        const int16_t mateNext = int16_t(MateScore - int16_t(pos.Ply) - 1);
        if (mateNext <= alpha) return mateNext;
    }
    // 4. Repetition.
    bool repeated;
    const int16_t repetition =
        modern ? RuledRepetitionScore(state, pos, repeated) : RepetitionScore(pos, repeated);
    if (repeated) return repetition;
    // 5. Input poll, and the clock under a time control; a node limit, once
    //    the first iteration has given an answer.
    //    The modern search reduces so much that few nodes are that deep: it
    //    asks every 1024 nodes instead.
    const bool pollHere = modern ? (state.nodes & 1023) == 0 : depth > 5;
    if ((pollHere && ShouldInterrupt(state)) ||
        (state.nodeLimit && state.nodes >= state.nodeLimit && state.rootDepth > 1)) {
        state.stopped = true;
        return InterruptedScore;
    }
    // 6.
    state.nodes++;
    if (int32_t(pos.Ply) > state.selDepth) state.selDepth = int32_t(pos.Ply);
    // 7. Hash. A null move's child with depth left will probe too: ask for
    //    its bucket now, so that both fetches overlap.
    bool tryNull = false;
    if constexpr (!modern) {
        tryNull = depth > 1 && (pvNode != 1 || (pos.Ply & 1)) && pos.RedValue > NullMoveMaterial &&
                  !SideToMoveInCheck(pos);
        if (tryNull && depth - NullMoveReduction > 0)
            PrefetchHash(state.hash, CurrentKey(pos) ^ ZobristSide);
    }
    // A singularity test searches this node again without its hash move: the
    // entry must not settle it, and what it finds is not stored.
    const Move excluded = modern ? state.modern.plies[pos.Ply].excluded : Move(0);
    MovePicker picker;
    const int16_t hashValue = InitPicker(picker, state, pos, depth, alpha, beta, excluded == 0);
    if (hashValue != NoHashCutoff) return hashValue;
    // 8.
    const bool inCheck = SideToMoveInCheck(pos);
    // 9. Null move.
    if constexpr (!modern) {
        if (tryNull) {
            MakeNullMove(pos);
            const int16_t v = int16_t(-SearchChild<Profile>(
                state, pos, int8_t(depth - NullMoveReduction), int16_t(-beta), int16_t(-alpha), 0));
            UnmakeNullMove(pos);
            if (v >= beta) return v;
        }
    }
    // 9 (modern). What the static evaluation allows before any move.
    int16_t staticEval = NoStaticEval;
    bool improving = false;
    // A mate search looks at every move to its full depth.
    const bool selective = modern && state.modern.mateMoves == 0;
    const ModernParameters& params = state.parameters;
    if constexpr (modern) {
        ModernPly* plies = state.modern.plies;
        if (!inCheck) staticEval = int16_t(CachedEvaluate<Profile>(state.evalCache, pos));
        plies[pos.Ply].staticEval = staticEval;
        improving = !inCheck && pos.Ply >= 2 && plies[pos.Ply - 2].staticEval != NoStaticEval &&
                    staticEval > plies[pos.Ply - 2].staticEval;
        if (pvNode != 1 && !inCheck && selective && !excluded) {
            // Reverse futility: so far above beta that a few plies will not bring it back.
            if (depth <= params.reverseFutilityDepth && staticEval < MateThreshold &&
                staticEval - params.reverseFutilityMargin * (depth - improving) >= beta)
                return staticEval;
            // Null move, reduced more at depth and far above beta; a deep
            // cut-off is verified by a search of the node without null moves.
            const MoveRecord& last = pos.MoveStack[pos.MoveCount];
            if (depth >= 2 && staticEval >= beta && last.from != 0 &&
                pos.Ply >= state.modern.nullMovesFromPly && NullMoveSafe(pos) &&
                beta > -MateThreshold) {
                int excess = (staticEval - beta) / params.nullMoveEvalDivisor;
                if (excess > 3) excess = 3;
                const int reduction =
                    params.nullMoveBase + depth / params.nullMoveDepthDivisor + excess;
                plies[pos.Ply].pieceTarget = uint16_t(PieceTargets);
                MakeNullMove(pos);
                int16_t v = int16_t(-SearchChild<Profile>(state, pos, int8_t(depth - reduction),
                                                          int16_t(-beta), int16_t(1 - beta), 0));
                UnmakeNullMove(pos);
                if (state.stopped) return InterruptedScore;
                if (v >= beta) {
                    if (v >= MateThreshold) v = beta;
                    if (depth < params.nullVerifyDepth) return v;
                    // A verification within another keeps the outer one's bar
                    // once it returns.
                    const uint32_t outerBar = state.modern.nullMovesFromPly;
                    state.modern.nullMovesFromPly = pos.Ply + 3 * uint32_t(depth - reduction) / 4;
                    const int16_t verified = SearchAlphaBeta<Profile>(
                        state, pos, int8_t(depth - reduction), int16_t(beta - 1), beta, 0);
                    state.modern.nullMovesFromPly = outerBar;
                    if (state.stopped) return InterruptedScore;
                    if (verified >= beta) return v;
                }
            }
        }
        // Internal iterative reduction: without a hash move the ordering is
        // poor, and a shallower search costs less than it loses.
        if (depth >= params.iirDepth && !picker.hasHashMove && selective && !excluded) depth--;
    }
    // Singular extension: the entry that gave the hash move, when it is deep
    // and a lower bound (or exact) away from mates.
    HashEntry singularEntry{};
    bool singularCandidate = false;
    if constexpr (modern) {
        singularCandidate =
            selective && !excluded && depth >= params.singularDepth && picker.hasHashMove &&
            pos.Ply < 2 * uint32_t(state.rootDepth) && ProbeHash(state.hash, pos, singularEntry) &&
            singularEntry.move == picker.hashMove && (singularEntry.bound & BoundLower) &&
            singularEntry.depth >= depth - 3 && !IsMateScore(singularEntry.value);
    }
    // 10. The moves.
    int16_t best = -MateScore;
    uint8_t bound = BoundUpper;
    Move bestMove = 0;
    bool firstMove = true;
    Move searched[MaxSearchedMoves];
    int searchedCount = 0;
    Move quiets[MaxRememberedQuiets];
    int quietCount = 0;
    int moveCount = 0;
    int lastDepth = depth;
    Move prefetched = 0;
    // What the pruning and reduction tests ask of the node, once for all its moves.
    const bool pruningNode =
        state.options.historyPruning && !inCheck && depth <= state.rootDepth / 2 && pvNode != 1;
    const bool reducingNode =
        state.options.historyReduction && depth >= 3 && pvNode != 1 && !inCheck;
    while (const Move m = NextMove<Profile>(picker, state, pos)) {
        const bool capture = pos.Board[MoveTo(m)] != 0;
        int32_t quietScore = 0;
        bool killer = false;
        bool prunableQuiet = false;
        if constexpr (!modern) {
            // 10.1-10.2 History pruning of quiet moves that rarely turn out
            //          best. The ratio costs a division: it is read only where
            //          it counts (nothing changes the counters before the
            //          reduction reads it).
            if (pruningNode && searchedCount >= 3 && lastDepth < depth && !capture &&
                SuccessRatio(state.ordering, m) < (depth <= 2 ? PruneRatioShallow : PruneRatioDeep))
                continue;
        } else {
            if (!capture) {
                quietScore = ModernQuietScore(state, pos, m);
                killer = IsKiller(state, pos, m);
            }
            // Shallow pruning, once a move has shown the node is not lost:
            // late quiet moves, quiet moves that cannot lift the evaluation
            // to alpha, losing captures. A quiet move that gives check is
            // kept (it is tested once made), and nothing is pruned while a
            // mate is at stake: a quiet move that leaves no reply mates.
            if (pvNode != 1 && !inCheck && best > -MateThreshold && alpha < MateThreshold &&
                selective) {
                if (!capture) {
                    const int lateMoves = (params.lateMoveBase + depth * depth) / (2 - improving);
                    prunableQuiet =
                        (depth <= 8 && moveCount >= lateMoves) ||
                        (depth <= params.futilityDepth &&
                         staticEval + params.futilityBase + params.futilityPerDepth * depth <=
                             alpha);
                } else if (depth <= 3 && HandsOutLosingCaptures(picker)) {
                    continue;
                }
            }
        }
        // 10.3 A child with depth left will probe the table: ask for its
        //      bucket, and for that of the move after it, which then arrives
        //      while this move's subtree is searched.
        if (depth >= 2) {
            if (m != prefetched) PrefetchHash(state.hash, KeyAfterMove(pos, m));
            prefetched = PeekNextMove(picker);
            if (prefetched) PrefetchHash(state.hash, KeyAfterMove(pos, prefetched));
        }
        int extension = 0;
        if constexpr (modern) {
            if (m == excluded) continue;
            if (singularCandidate && m == picker.hashMove) {
                const int16_t singularBeta =
                    int16_t(singularEntry.value - params.singularMargin16 * depth / 16);
                state.modern.plies[pos.Ply].excluded = m;
                const int16_t v =
                    SearchAlphaBeta<Profile>(state, pos, int8_t((depth - 1) / 2),
                                             int16_t(singularBeta - 1), singularBeta, 0);
                state.modern.plies[pos.Ply].excluded = 0;
                if (state.stopped) return InterruptedScore;
                if (v < singularBeta)
                    extension = 1;
                else if (singularBeta >= beta)
                    return singularBeta;  // more than one move beats beta
            }
        }
        MoveRecord record = RecordOfMove(pos, m);
        if constexpr (modern)
            state.modern.plies[pos.Ply].pieceTarget = uint16_t(PieceTargetBefore(pos, m));
        if (!MakeMove(record, pos)) continue;
        // 10.4 Extensions: a single reply, or a move that gives check.
        const bool givesCheck = SideToMoveInCheck(pos);
        if (prunableQuiet && !givesCheck) {
            UnmakeMove(pos);
            continue;
        }
        moveCount++;
        int newDepth = (picker.singleReply || givesCheck || extension) ? depth : depth - 1;
        lastDepth = newDepth;
        bool reduced = false;
        int16_t v;
        if constexpr (!modern) {
            // 10.5 History reduction.
            if (reducingNode && searchedCount >= 3 && newDepth < depth &&
                SuccessRatio(state.ordering, m) < ReduceRatio) {
                newDepth--;
                lastDepth = newDepth;
                reduced = true;
            }
            if (depth < 2 && newDepth > 0) PrefetchHash(state.hash, CurrentKey(pos));
            // 10.6 Principal variation search.
            if (firstMove || pvNode != 1) {
                v = int16_t(-SearchChild<Profile>(state, pos, int8_t(newDepth), int16_t(-beta),
                                                  int16_t(-alpha), pvNode));
                firstMove = false;
            } else {
                v = int16_t(-SearchChild<Profile>(state, pos, int8_t(newDepth), int16_t(-alpha - 1),
                                                  int16_t(-alpha), 0));
                if (v > alpha && v < beta)
                    v = int16_t(-SearchChild<Profile>(state, pos, int8_t(newDepth), int16_t(-beta),
                                                      int16_t(-alpha), 1));
            }
            // 10.7 A reduced move that raises alpha gets its full depth back.
            if (state.options.historyReduction && reduced && v > alpha) {
                newDepth++;
                lastDepth = newDepth;
                v = int16_t(-SearchChild<Profile>(state, pos, int8_t(newDepth), int16_t(-beta),
                                                  int16_t(-alpha), pvNode));
            }
        } else {
            if (moveCount == 1) {
                v = int16_t(-SearchChild<Profile>(state, pos, int8_t(newDepth), int16_t(-beta),
                                                  int16_t(-alpha), pvNode));
            } else {
                // Late-move reduction: fewer plies for later, quieter,
                // less successful moves; a reduced move that beats alpha is
                // searched again at full depth.
                int reduction = 0;
                if (depth >= 3 && !givesCheck && selective &&
                    (!capture || HandsOutLosingCaptures(picker))) {
                    reduction =
                        state.modern
                            .reductions[depth < 64 ? depth : 63][moveCount < 64 ? moveCount : 63];
                    reduction += !improving;
                    reduction -= pvNode == 1;
                    if (!capture) reduction -= killer + quietScore / params.historyReductionDivisor;
                    if (reduction > newDepth - 1) reduction = newDepth - 1;
                    if (reduction < 0) reduction = 0;
                }
                v = int16_t(-SearchChild<Profile>(state, pos, int8_t(newDepth - reduction),
                                                  int16_t(-alpha - 1), int16_t(-alpha), 0));
                if (v > alpha && reduction > 0)
                    v = int16_t(-SearchChild<Profile>(state, pos, int8_t(newDepth),
                                                      int16_t(-alpha - 1), int16_t(-alpha), 0));
                if (pvNode == 1 && v > alpha && v < beta)
                    v = int16_t(-SearchChild<Profile>(state, pos, int8_t(newDepth), int16_t(-beta),
                                                      int16_t(-alpha), 1));
            }
        }
        // 10.8
        UnmakeMove(pos);
        if constexpr (!modern) {
            searched[searchedCount++] = m;
        } else {
            if (!capture && quietCount < MaxRememberedQuiets) quiets[quietCount++] = m;
        }
        // 10.9 Interrupted: store and learn nothing.
        if (state.stopped) return InterruptedScore;
        // 10.10
        if (v >= best) {
            best = v;
            if (v >= beta) {
                // 12. Cut-off.
                if constexpr (!modern) {
                    StatsOf(state.ordering, m).best++;
                    CountTried(state.ordering, searched, searchedCount);
                }
                if (!excluded)
                    StoreHash(state.hash, pos, m, ValueToHash(v, pos.Ply), depth, BoundLower);
                if (record.captured) return v;
                if constexpr (!modern) {
                    AddHistory(state.ordering, m, depth);
                } else {
                    RewardQuietCutoff(state, pos, m, quiets, quietCount, depth);
                }
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
    if constexpr (!modern) {
        if (bound == BoundExact) {
            StatsOf(state.ordering, bestMove).best++;
            CountTried(state.ordering, searched, searchedCount);
        }
    }
    if (best == -MateScore) return matedHere;  // no legal move: the side to move loses
    const bool mate = best <= -MateThreshold || best >= MateThreshold;
    if (!mate && bound == BoundExact && pos.Board[MoveTo(bestMove)] == 0) {
        if constexpr (!modern)
            AddHistory(state.ordering, bestMove, depth);
        else
            RewardQuietCutoff(state, pos, bestMove, quiets, quietCount, depth);
    }
    if (!excluded) StoreHash(state.hash, pos, bestMove, ValueToHash(best, pos.Ply), depth, bound);
    return best;
}

template int16_t SearchAlphaBeta<ProfileClassic>(SearchState&, Position&, int8_t, int16_t, int16_t,
                                                 uint8_t);
template int16_t SearchAlphaBeta<ProfileModern>(SearchState&, Position&, int8_t, int16_t, int16_t,
                                                uint8_t);

namespace {

// A child at the horizon goes straight to the quiescence search, sparing the
// full node's frame (the depth limit stays the full node's: it returns before
// counting the node).
template <SearchProfile Profile>
inline int16_t SearchChild(SearchState& state, Position& pos, int8_t depth, int16_t alpha,
                           int16_t beta, uint8_t pvNode) {
    if (depth <= 0 && pos.Ply < MaxPly) return Quiesce<Profile>(state, pos, alpha, beta, depth);
    return SearchAlphaBeta<Profile>(state, pos, depth, alpha, beta, pvNode);
}

}  // namespace
