// The ordering tables that the search learns from (history, killers, and the
// per-move success counters behind history pruning), and the state that
// holds them.

#include "search/ordering.h"
#include "search/search.h"

namespace {

constexpr uint32_t HistoryLimit = 32768;
constexpr uint32_t TriedLimit = 16384;
constexpr uint32_t FullSuccess = 16384;

}  // namespace

bool IsBanned(const BanList& bans, uint16_t move) {
    int32_t count = bans.count;
    if (count > BanListCapacity) count = BanListCapacity;
    for (int32_t i = 0; i < count; i++) {
        if (bans.moves[i] == move) return true;
    }
    return false;
}

bool InitSearchFields(SearchState& state) {
    state.options = SearchOptions{true, true, true};
    state.profile = ProfileClassic;
    state.parameters = DefaultModernParameters;
    state.modern.nullMovesFromPly = 0;
    state.modern.mateMoves = 0;
    state.modern.rootQuietPlies = 0;
    state.bans.count = 0;
    state.root.allowedCount = state.root.excludedCount = 0;
    state.nodes = 0;
    state.selDepth = 0;
    state.nodeLimit = 0;
    state.rootDepth = 0;
    state.stopped = false;
    state.reporter = nullptr;
    state.helperStop = nullptr;
    state.clock = SearchClock{};
    state.clock.deadline = state.clock.planTotal = state.clock.hardLimit = -1;
    state.hash.mask = 0;
    state.hash.generation = 0;
    ClearOrderingTables(state.ordering);
    return InitEvalCache(state.evalCache) && InitModernTables(state.modern, state.parameters);
}

bool InitSearchState(SearchState& state) {
    return InitSearchFields(state) && ResizeHash(state.hash, DefaultHashBuckets);
}

void StartModernSearch(SearchState& state) {
    state.nodes = 0;
    state.stopped = false;
    state.modern.nullMovesFromPly = 0;
    ClearKillers(state.ordering);
    AgeModernHistory(state.modern);
    state.hash.generation++;
}

void ResetForNewGame(SearchState& state) {
    ResetSearchTables(state);
    state.hash.generation = 0;
    ClearModernHistory(state.modern);
}

void ResetSearchTables(SearchState& state) {
    state.nodes = 0;
    state.stopped = false;
    ClearHash(state.hash);
    ClearEvalCache(state.evalCache);
    ClearOrderingTables(state.ordering);
}

void ClearOrderingTables(OrderingTables& tables) {
    for (MoveStats& stats : tables.stats) stats = MoveStats{0, 1, 1};
    ClearKillers(tables);
}

void ClearKillers(OrderingTables& tables) {
    for (auto& killers : tables.killers) killers[0] = killers[1] = MoveRecord{0, 0, 0, 0, 0};
}

uint32_t SuccessRatio(const OrderingTables& tables, Move m) {
    // Counters that were never reset count as a move always best, like fresh ones.
    const MoveStats& stats = StatsOf(tables, m);
    if (stats.tried == 0) return FullSuccess;
    // The counters stay small, so a 32-bit division (much the faster) nearly
    // always does; only counters set from outside take the wide one.
    const uint32_t best = stats.best, tried = stats.tried;
    if (best < (1u << 18)) return best * FullSuccess / tried;
    return uint32_t(uint64_t(best) * FullSuccess / tried);
}

void AddHistory(OrderingTables& tables, Move m, int depth) {
    uint32_t& entry = StatsOf(tables, m).history;
    entry += uint32_t(depth * depth);
    if (entry >= HistoryLimit) entry >>= 1;
}

void CountTried(OrderingTables& tables, const Move* searched, int count) {
    for (int i = 0; i < count; i++) {
        MoveStats& stats = StatsOf(tables, searched[i]);
        if (++stats.tried >= TriedLimit) {
            stats.best = (stats.best + 1) >> 1;
            stats.tried = (stats.tried + 1) >> 1;
        }
    }
}

void UpdateKillers(OrderingTables& tables, const MoveRecord& record, uint32_t ply) {
    if (ply >= MaxPly) return;
    MoveRecord* killers = tables.killers[ply];
    if (killers[0].from == record.from && killers[0].to == record.to) return;
    killers[1] = killers[0];
    killers[0] = record;
}
