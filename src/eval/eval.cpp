// The static score: placement sums kept by the position, eight positional
// terms per side (red's added, black's subtracted) and a bonus for the side
// to move.

#include "eval/eval.h"

namespace {

constexpr int32_t SideToMoveBonus = 3;

}  // namespace

// Flattened: every term inlined, which spares the calls and lets the terms
// share their loads.
[[gnu::flatten]] int32_t Evaluate(const Position& pos) {
    int32_t score = pos.RedValue - pos.BlackValue;
    score += EmptyCannonBonus(pos, Red) - EmptyCannonBonus(pos, Black);
    score += PalaceHeartBonus(pos, Red) - PalaceHeartBonus(pos, Black);
    score += RookAdvantageBonus(pos, Red) - RookAdvantageBonus(pos, Black);
    score += KnightCannonPairBonus(pos, Red) - KnightCannonPairBonus(pos, Black);
    int32_t pins[2];
    RookPinBonuses(pos, pins);
    score += pins[Red] - pins[Black];
    score += KnightMobility(pos, Red) - KnightMobility(pos, Black);
    score += RookMobility(pos, Red) - RookMobility(pos, Black);
    score += CentralCannonBonus(pos, Red) - CentralCannonBonus(pos, Black);
    return pos.SideToMove == Red ? SideToMoveBonus + score : SideToMoveBonus - score;
}
