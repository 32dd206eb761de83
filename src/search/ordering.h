#pragma once
// What one search learns about moves (search_tables.cpp) and the evaluation
// cache (eval_cache.cpp).

#include "search/search.h"

// A move's entry. A square off the board counts as a9, so a move that names
// one (never a played move) shares the entry of a9a9, which no move uses.
inline uint32_t StatsIndex(Move m) {
    return uint32_t(BoardIndex[MoveFrom(m)]) * 90 + BoardIndex[MoveTo(m)];
}
inline MoveStats& StatsOf(OrderingTables& tables, Move m) {
    return tables.stats[StatsIndex(m)];
}
inline const MoveStats& StatsOf(const OrderingTables& tables, Move m) {
    return tables.stats[StatsIndex(m)];
}

void ClearOrderingTables(OrderingTables& tables);
void ClearKillers(OrderingTables& tables);
// best * 16384 / tried: 16384 when the move was always the best.
uint32_t SuccessRatio(const OrderingTables& tables, Move m);
// history += depth * depth; an entry reaching 32768 is halved.
void AddHistory(OrderingTables& tables, Move m, int depth);
// tried += 1 for each searched move, halving both counters of a move at 16384.
void CountTried(OrderingTables& tables, const Move* searched, int count);
void UpdateKillers(OrderingTables& tables, const MoveRecord& record, uint32_t ply);

// 128 KB: small enough to stay in the processor's cache. A megabyte hit more
// often but made every lookup a trip to memory, costlier than evaluating.
constexpr uint32_t EvalCacheSlots = 1u << 13;

bool InitEvalCache(EvalCache& cache);  // false when the memory cannot be had
void ClearEvalCache(EvalCache& cache);
// The profile's evaluation of the position (Evaluate or EvaluateModern),
// read from the cache when the position's key is there.
template <SearchProfile Profile = ProfileClassic>
int32_t CachedEvaluate(EvalCache& cache, const Position& pos);

// The modern profile's tables (modern_tables.cpp).

// The kind of the moved piece (0..13) and its target, as the counter moves
// and the continuation history index them; PieceTargets for a null move.
inline uint32_t PieceTargetOf(const Position& pos, const MoveRecord& played) {
    if (played.from == 0) return PieceTargets;
    return PieceKind[pos.Board[played.to]] * 90 + BoardIndex[played.to];
}
inline uint32_t PieceTargetBefore(const Position& pos, Move m) {
    return PieceKind[pos.Board[MoveFrom(m)]] * 90 + BoardIndex[MoveTo(m)];
}
bool InitModernTables(ModernTables& tables, const ModernParameters& parameters);
void ClearModernHistory(ModernTables& tables);
// Halved at each new search, so that old lessons fade but are not lost.
void AgeModernHistory(ModernTables& tables);
// The gravity update: a bonus (or malus) moves the entry toward its limit
// by a share that shrinks as it gets there.
inline void UpdateGravity(int16_t& entry, int32_t bonus) {
    const int32_t magnitude = bonus < 0 ? -bonus : bonus;
    entry = int16_t(entry + bonus - int32_t(entry) * magnitude / HistoryMax);
}
inline int16_t* ContinuationRow(ModernTables& tables, uint32_t previous) {
    return previous < PieceTargets ? &tables.continuation[size_t(previous) * PieceTargets]
                                   : nullptr;
}
// The score by which the modern picker orders a quiet move: history and the
// continuation history of the moves one and two plies back.
int32_t ModernQuietScore(const SearchState& state, const Position& pos, Move m);
// After a quiet move `best` made a cut-off at `depth`: its bonus, the quiet
// moves searched before it a malus, the killers and counter move updated.
void RewardQuietCutoff(SearchState& state, const Position& pos, Move best, const Move* quiets,
                       int quietCount, int depth);
