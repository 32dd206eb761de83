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
// Evaluate(pos), read from the cache when the position's key is there.
int32_t CachedEvaluate(EvalCache& cache, const Position& pos);
