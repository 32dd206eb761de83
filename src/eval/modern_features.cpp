// The modern evaluation as features and weights: what the tuner fits and the
// reference tests recompute, walking the board square by square.

#include "eval/eval.h"
#include "eval/eval_modern.h"
#include "position/piece_values.h"

namespace {

int TypeOfPiece(uint32_t piece) {
    switch (OffsetOfPiece(piece)) {
        case KingOffset:
            return ModernKing;
        case AdvisorOffset:
        case AdvisorOffset + 1:
            return ModernAdvisor;
        case BishopOffset:
        case BishopOffset + 1:
            return ModernBishop;
        case KnightOffset:
        case KnightOffset + 1:
            return ModernKnight;
        case RookOffset:
        case RookOffset + 1:
            return ModernRook;
        case CannonOffset:
        case CannonOffset + 1:
            return ModernCannon;
        default:
            return ModernPawn;
    }
}

typedef int32_t (*ClassicTerm)(const Position&, uint32_t);
constexpr ClassicTerm ClassicTerms[ModernTermCount] = {
    EmptyCannonBonus, PalaceHeartBonus, RookAdvantageBonus, KnightCannonPairBonus,
    RookPinBonus,     KnightMobility,   RookMobility,       CentralCannonBonus};

}  // namespace

int32_t WeightAt(const ModernWeights& weights, int index) {
    if (index < FirstTermWeight) {
        return weights.placement[index / 50][index / 5 % 10][index % 5];
    }
    if (index < SideToMoveWeight) return weights.terms[index - FirstTermWeight];
    return weights.sideToMove;
}

void SetWeightAt(ModernWeights& weights, int index, int32_t value) {
    if (index < FirstTermWeight) {
        weights.placement[index / 50][index / 5 % 10][index % 5] = int16_t(value);
    } else if (index < SideToMoveWeight) {
        weights.terms[index - FirstTermWeight] = int16_t(value);
    } else {
        weights.sideToMove = int16_t(value);
    }
}

void ModernFeatures(const Position& pos, FeatureVector& features) {
    for (int32_t& c : features.coefficient) c = 0;
    for (uint32_t row = 0; row < 10; row++)
        for (uint32_t file = 0; file < 9; file++) {
            const uint32_t piece = pos.Board[SquareAt(file, row)];
            if (piece == 0) continue;
            const bool red = IsRedPiece(piece);
            const int ownRow = int(red ? row : 9 - row);
            const int folded = int(file <= 4 ? file : 8 - file);
            features.coefficient[PlacementWeightIndex(TypeOfPiece(piece), ownRow, folded)] +=
                red ? 1 : -1;
        }
    for (int t = 0; t < ModernTermCount; t++)
        features.coefficient[FirstTermWeight + t] =
            ClassicTerms[t](pos, Red) - ClassicTerms[t](pos, Black);
    features.coefficient[SideToMoveWeight] = pos.SideToMove == Red ? 1 : -1;
}

int32_t EvaluateFeatures(const ModernWeights& weights, const FeatureVector& features) {
    int64_t sixteenths = 0;
    for (int i = 0; i < SideToMoveWeight; i++)
        sixteenths += int64_t(features.coefficient[i]) * WeightAt(weights, i) *
                      (TermWeightUnit / WeightUnit(i));
    // Nearest point, halves upward (floor division of the sum plus a half).
    int64_t redScore = (sixteenths + TermWeightUnit / 2) / TermWeightUnit;
    if ((sixteenths + TermWeightUnit / 2) % TermWeightUnit < 0) redScore--;
    const int32_t sign = features.coefficient[SideToMoveWeight];
    return weights.sideToMove + sign * int32_t(redScore);
}

ModernWeights ClassicModernWeights() {
    ModernWeights weights{};
    for (int type = 0; type < ModernPieceTypes; type++)
        for (uint32_t row = 0; row < 10; row++)
            for (uint32_t file = 0; file < 5; file++)
                weights.placement[type][row][file] =
                    int16_t(PlacementValue(uint32_t(type), file, row));
    for (int16_t& w : weights.terms) w = TermWeightUnit;
    weights.sideToMove = 3;
    return weights;
}
