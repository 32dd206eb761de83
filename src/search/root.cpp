// One iteration at the root: every unbanned move to the iteration's depth
// with a principal-variation window; the result is left in the root's hash
// entry, where the deepening loop and the reports read it.

#include <cstdint>

#include "search/ordering.h"
#include "search/picker.h"
#include "search/search.h"
#include "search/tree.h"

namespace {

bool Lists(const Move* moves, int32_t count, Move move) {
    for (int32_t i = 0; i < count; i++)
        if (moves[i] == move) return true;
    return false;
}

}  // namespace

bool RootMoveSkipped(const RootMoveFilter& filter, Move move) {
    if (filter.excludedCount > 0 && Lists(filter.excluded, filter.excludedCount, move)) return true;
    return filter.allowedCount > 0 && !Lists(filter.allowed, filter.allowedCount, move);
}

template <SearchProfile Profile>
int16_t SearchRoot(SearchState& state, Position& pos, int8_t depth, int16_t alpha, int16_t beta) {
    constexpr bool modern = Profile == ProfileModern;
    // Room on the stacks for every ply the search may still push.
    QUILLON_ASSERT(pos.Ply <= MaxPly && pos.MoveCount + MaxPly < CheckersStackSize + pos.Ply);
    QUILLON_ASSERT_CONSISTENT(pos);
    // 1. The root is always searched: the picker's cut-off test is moot, and
    //    asked at a depth no entry reaches (the modern table keeps entries
    //    from earlier searches), so that it always hands out the moves.
    MovePicker picker;
    InitPicker(picker, state, pos, modern ? int8_t(INT8_MAX) : depth, MateScore,
               int16_t(-MateScore));
    // 2. A single reply to a check needs no search. It comes before the banned
    //    list: a lone evasion is played even when banned, as nothing else can be.
    if (picker.singleReply) {
        StoreHash(state.hash, pos, MoveOf(picker.moves[0]), -500, depth, BoundExact);
        return -500;
    }
    if constexpr (modern) state.modern.plies[0].staticEval = InterruptedScore;
    // 3.
    const int16_t alphaAtStart = alpha;
    int16_t best = -MateScore;
    Move bestMove = 0;
    bool firstMove = true;
    Move searched[MaxSearchedMoves];
    int searchedCount = 0;
    const uint32_t nodesAtStart = state.nodes;
    const SearchReporter* reporter = state.reporter;
    int announced = 0;
    while (const Move m = NextMove<Profile>(picker, state, pos)) {
        if (IsBanned(state.bans, m) || RootMoveSkipped(state.root, m)) continue;
        const uint32_t nodesBefore = state.nodes;
        MoveRecord record = RecordOfMove(pos, m);
        if constexpr (modern)
            state.modern.plies[0].pieceTarget = uint16_t(PieceTargetBefore(pos, m));
        if (!MakeMove(record, pos)) continue;
        // The picker may hand out a move twice (a capture as the hash move, a
        // killer with no hash move): it is searched again, as it always was,
        // but announced once.
        if (reporter && reporter->rootMove && !Lists(searched, searchedCount, m))
            reporter->rootMove(reporter->context, m, ++announced);
        const int newDepth = SideToMoveInCheck(pos) ? depth : depth - 1;
        int16_t v;
        if (firstMove) {
            v = int16_t(-SearchAlphaBeta<Profile>(state, pos, int8_t(newDepth), int16_t(-beta),
                                                  int16_t(-alpha), 1));
            firstMove = false;
        } else {
            v = int16_t(-SearchAlphaBeta<Profile>(state, pos, int8_t(newDepth), int16_t(-alpha - 1),
                                                  int16_t(-alpha), 0));
            if (v > alpha && v < beta)
                v = int16_t(-SearchAlphaBeta<Profile>(state, pos, int8_t(newDepth), int16_t(-beta),
                                                      int16_t(-alpha), 1));
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
                if constexpr (modern) state.modern.bestMoveNodes = state.nodes - nodesBefore;
            }
            if constexpr (modern) {
                if (v >= beta) {
                    StoreHash(state.hash, pos, m, v, depth, BoundLower);
                    return v;
                }
            }
        }
    }
    // 4. No legal, unbanned move leaves move 0 with -10000.
    if constexpr (modern) {
        state.modern.iterationNodes = state.nodes - nodesAtStart;
        // A fail low says only that every move is worse than the window: the
        // previous iteration's move stays in the entry.
        if (best <= alphaAtStart && best > -MateScore) return best;
        if (bestMove && pos.Board[MoveTo(bestMove)] == 0)
            RewardQuietCutoff(state, pos, bestMove, searched, 0, depth);
    } else {
        StatsOf(state.ordering, bestMove).best++;
        CountTried(state.ordering, searched, searchedCount);
        if (pos.Board[MoveTo(bestMove)] == 0) AddHistory(state.ordering, bestMove, depth);
    }
    StoreHash(state.hash, pos, bestMove, best, depth, BoundExact);
    return best;
}

template int16_t SearchRoot<ProfileClassic>(SearchState&, Position&, int8_t, int16_t, int16_t);
template int16_t SearchRoot<ProfileModern>(SearchState&, Position&, int8_t, int16_t, int16_t);
