// The modern evaluation's fast path: placements summed over the 32 piece
// slots, the classic terms under their weights.

#include "eval/eval_modern.h"

#include "eval/eval.h"

namespace {

constexpr uint8_t TypeOfOffset[16] = {ModernKing,   ModernAdvisor, ModernAdvisor, ModernBishop,
                                      ModernBishop, ModernKnight,  ModernKnight,  ModernRook,
                                      ModernRook,   ModernCannon,  ModernCannon,  ModernPawn,
                                      ModernPawn,   ModernPawn,    ModernPawn,    ModernPawn};

// For each side and square, the placement weight's place within a piece
// type's table: mirrored row for black, file folded onto the centre.
struct PlacementSlots {
    uint8_t slot[2][BoardSquares];
    constexpr PlacementSlots() : slot() {
        for (uint32_t row = 0; row < 10; row++)
            for (uint32_t file = 0; file < 9; file++) {
                const uint32_t folded = file <= 4 ? file : 8 - file;
                slot[Red][SquareAt(file, row)] = uint8_t(row * 5 + folded);
                slot[Black][SquareAt(file, row)] = uint8_t((9 - row) * 5 + folded);
            }
    }
};
constexpr PlacementSlots Slots;

inline int32_t PlacementSum(const Position& pos, const ModernWeights& weights, uint32_t side) {
    const int16_t* table = &weights.placement[0][0][0];
    int32_t sum = 0;
    for (uint32_t offset = 0; offset < 16; offset++) {
        const uint32_t square = pos.PieceSquare[SideBase(side) + offset];
        if (square == 0) continue;
        sum += table[TypeOfOffset[offset] * 50 + Slots.slot[side][square]];
    }
    return sum;
}

}  // namespace

// Flattened like Evaluate: every term inlined.
[[gnu::flatten]] int32_t EvaluateModernWith(const Position& pos, const ModernWeights& weights) {
    const int16_t* w = weights.terms;
    int32_t terms =
        w[TermEmptyCannon] * (EmptyCannonBonus(pos, Red) - EmptyCannonBonus(pos, Black));
    terms += w[TermPalaceHeart] * (PalaceHeartBonus(pos, Red) - PalaceHeartBonus(pos, Black));
    terms += w[TermRookAdvantage] * (RookAdvantageBonus(pos, Red) - RookAdvantageBonus(pos, Black));
    terms += w[TermKnightCannonPair] *
             (KnightCannonPairBonus(pos, Red) - KnightCannonPairBonus(pos, Black));
    int32_t pins[2];
    RookPinBonuses(pos, pins);
    terms += w[TermRookPin] * (pins[Red] - pins[Black]);
    terms += w[TermKnightMobility] * (KnightMobility(pos, Red) - KnightMobility(pos, Black));
    terms += w[TermRookMobility] * (RookMobility(pos, Red) - RookMobility(pos, Black));
    terms += w[TermCentralCannon] * (CentralCannonBonus(pos, Red) - CentralCannonBonus(pos, Black));
    const int32_t placement = PlacementSum(pos, weights, Red) - PlacementSum(pos, weights, Black);
    // Arithmetic shift: floor, so + 8 rounds to nearest with halves upward.
    const int32_t score = (TermWeightUnit * placement + terms + TermWeightUnit / 2) >> 4;
    static_assert(TermWeightUnit == 16, "the shift divides by the term weight unit");
    return pos.SideToMove == Red ? weights.sideToMove + score : weights.sideToMove - score;
}

// The tuned table's address folds into the loads.
[[gnu::flatten]] int32_t EvaluateModern(const Position& pos) {
    return EvaluateModernWith(pos, TunedModernWeights);
}
