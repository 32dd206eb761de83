// The ordering tables that the search learns from: history, killers, and the
// per-move success counters behind history pruning.

#include "search/search.h"

uint32_t HistoryTable[65536];
MoveRecord KillerTable[MaxPly][2];
uint32_t BestCount[65536];
uint32_t TriedCount[65536];

namespace {

constexpr uint32_t HistoryLimit = 32768;
constexpr uint32_t TriedLimit = 16384;
constexpr uint32_t FullSuccess = 16384;

}  // namespace

uint32_t SuccessRatio(Move m) {
    // Counters that were never reset count as a move always best, like fresh ones.
    if (TriedCount[m] == 0) return FullSuccess;
    return uint32_t(uint64_t(BestCount[m]) * FullSuccess / TriedCount[m]);
}

void AddHistory(Move m, int depth) {
    uint32_t& entry = HistoryTable[m];
    entry += uint32_t(depth * depth);
    if (entry >= HistoryLimit) entry >>= 1;
}

void CountTried(const Move* searched, int count) {
    for (int i = 0; i < count; i++) {
        const Move m = searched[i];
        if (++TriedCount[m] >= TriedLimit) {
            BestCount[m] = (BestCount[m] + 1) >> 1;
            TriedCount[m] = (TriedCount[m] + 1) >> 1;
        }
    }
}

void UpdateKillers(const MoveRecord& record, uint32_t ply) {
    if (ply >= MaxPly) return;
    MoveRecord* killers = KillerTable[ply];
    if (killers[0].from == record.from && killers[0].to == record.to) return;
    killers[1] = killers[0];
    killers[0] = record;
}
