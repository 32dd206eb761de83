// What the modern search learns about moves: history per side with a
// gravity update, counter moves, continuation history, and the table of
// late-move reductions.

#include <cmath>
#include <cstring>

#include "search/ordering.h"
#include "search/search.h"

const ModernParameters DefaultModernParameters = {
    /* aspirationWindow */ 20,
    /* reverseFutilityMargin */ 18,
    /* reverseFutilityDepth */ 7,
    /* futilityBase */ 30,
    /* futilityPerDepth */ 20,
    /* futilityDepth */ 6,
    /* nullMoveBase */ 3,
    /* nullMoveDepthDivisor */ 4,
    /* nullMoveEvalDivisor */ 60,
    /* nullVerifyDepth */ 12,
    /* lateMoveBase */ 3,
    /* reductionBase100 */ 50,
    /* reductionDivisor100 */ 225,
    /* historyReductionDivisor */ 6000,
    /* iirDepth */ 4,
    /* historyBonusLimit */ 1600,
    /* singularDepth */ 8,
    /* singularMargin16 */ 8,
};

namespace {

int32_t HistoryBonus(const SearchState& state, int depth) {
    const int32_t bonus = 16 * depth * depth + 32 * depth;
    return bonus < state.parameters.historyBonusLimit ? bonus : state.parameters.historyBonusLimit;
}

uint32_t PreviousPieceTarget(const SearchState& state, const Position& pos, uint32_t back) {
    return pos.Ply >= back ? state.modern.plies[pos.Ply - back].pieceTarget : PieceTargets;
}

}  // namespace

bool InitModernTables(ModernTables& tables, const ModernParameters& parameters) {
    if (!tables.continuation) {
        tables.continuation.reset(new (std::nothrow) int16_t[size_t(PieceTargets) * PieceTargets]);
        if (!tables.continuation) return false;
    }
    for (int depth = 0; depth < 64; depth++)
        for (int number = 0; number < 64; number++) {
            const double r = depth && number ? parameters.reductionBase100 / 100.0 +
                                                   std::log(depth) * std::log(number) * 100.0 /
                                                       parameters.reductionDivisor100
                                             : 0.0;
            tables.reductions[depth][number] = uint8_t(r < 0 ? 0 : r);
        }
    ClearModernHistory(tables);
    return true;
}

void ClearModernHistory(ModernTables& tables) {
    std::memset(tables.history, 0, sizeof tables.history);
    std::memset(tables.counterMoves, 0, sizeof tables.counterMoves);
    std::memset(tables.continuation.get(), 0,
                sizeof(int16_t) * size_t(PieceTargets) * PieceTargets);
    for (ModernPly& ply : tables.plies) ply = ModernPly{0, uint16_t(PieceTargets), 0};
}

void AgeModernHistory(ModernTables& tables) {
    for (auto& side : tables.history)
        for (int16_t& entry : side) entry = int16_t(entry / 2);
}

int32_t ModernQuietScore(const SearchState& state, const Position& pos, Move m) {
    const ModernTables& tables = state.modern;
    int32_t score = tables.history[pos.SideToMove][StatsIndex(m)];
    const uint32_t here = PieceTargetBefore(pos, m);
    for (uint32_t back = 1; back <= 2; back++) {
        const uint32_t previous = PreviousPieceTarget(state, pos, back);
        if (previous < PieceTargets)
            score += tables.continuation[size_t(previous) * PieceTargets + here];
    }
    return score;
}

void RewardQuietCutoff(SearchState& state, const Position& pos, Move best, const Move* quiets,
                       int quietCount, int depth) {
    ModernTables& tables = state.modern;
    const int32_t bonus = HistoryBonus(state, depth);
    int16_t* rows[2];
    for (uint32_t back = 1; back <= 2; back++)
        rows[back - 1] = ContinuationRow(tables, PreviousPieceTarget(state, pos, back));
    auto update = [&](Move m, int32_t amount) {
        UpdateGravity(tables.history[pos.SideToMove][StatsIndex(m)], amount);
        const uint32_t here = PieceTargetBefore(pos, m);
        for (int16_t* row : rows)
            if (row) UpdateGravity(row[here], amount);
    };
    update(best, bonus);
    for (int i = 0; i < quietCount; i++)
        if (quiets[i] != best) update(quiets[i], -bonus);
    const uint32_t previous = PreviousPieceTarget(state, pos, 1);
    if (previous < PieceTargets) tables.counterMoves[previous] = best;
}
