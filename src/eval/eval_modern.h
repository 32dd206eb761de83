#pragma once
// The modern profile's evaluation: a linear sum of weights, each times a
// feature of the position. Piece placements (material included) by piece
// type, black's mirrored from red's and every table symmetric left to right,
// the classic evaluation's eight positional terms each under a weight, and a
// bonus for the side to move. Same scale as Evaluate.

#include "position/position.h"

enum ModernPieceType {
    ModernKing,
    ModernAdvisor,
    ModernBishop,
    ModernKnight,
    ModernRook,
    ModernCannon,
    ModernPawn,
    ModernPieceTypes
};

// The classic terms, in the order of Evaluate.
enum ModernTerm {
    TermEmptyCannon,
    TermPalaceHeart,
    TermRookAdvantage,
    TermKnightCannonPair,
    TermRookPin,
    TermKnightMobility,
    TermRookMobility,
    TermCentralCannon,
    ModernTermCount
};

// A term's weight is in sixteenths: 16 scores the term as the classic
// evaluation does.
constexpr int32_t TermWeightUnit = 16;

struct ModernWeights {
    // Red's pieces by [row][file]: row 0 is black's back rank, file 4 the
    // centre; files 5..8 read files 3..0. Black's pieces read row 9 - row.
    int16_t placement[ModernPieceTypes][10][5];
    int16_t terms[ModernTermCount];
    int16_t sideToMove;
};

// The weights the modern search plays with (modern_weights.cpp, written by
// tools/tune).
extern const ModernWeights TunedModernWeights;

// From the side to move's point of view. The red-side sum is kept in
// sixteenths of a point and rounded to the nearest point, halves upward,
// before the side to move's sign and bonus are applied.
int32_t EvaluateModern(const Position& pos);
int32_t EvaluateModernWith(const Position& pos, const ModernWeights& weights);

// ---------------------------------------------------------------------------
// The weights as one flat list, for the tuner and the reference tests:
// placements (type, row, file), then the terms, then the side-to-move bonus.

constexpr int PlacementWeightCount = ModernPieceTypes * 10 * 5;
constexpr int FirstTermWeight = PlacementWeightCount;
constexpr int SideToMoveWeight = FirstTermWeight + ModernTermCount;
constexpr int ModernWeightCount = SideToMoveWeight + 1;

constexpr int PlacementWeightIndex(int type, int row, int foldedFile) {
    return (type * 10 + row) * 5 + foldedFile;
}
// What one unit of the weight is worth in points times this.
constexpr int WeightUnit(int index) {
    return index >= FirstTermWeight && index < SideToMoveWeight ? TermWeightUnit : 1;
}
int32_t WeightAt(const ModernWeights& weights, int index);
void SetWeightAt(ModernWeights& weights, int index, int32_t value);

// How many times each weight counts in a position, from red's point of view:
// red pieces +1 and black ones -1 on their placement weights, each term red's
// points less black's, and the side-to-move weight +1 with red to move, -1
// with black. The evaluation is then sum(coefficient * weight / unit),
// rounded as EvaluateModern says and turned to the side to move's view.
struct FeatureVector {
    int32_t coefficient[ModernWeightCount];
};
void ModernFeatures(const Position& pos, FeatureVector& features);
// The evaluation from the features: a slow statement of EvaluateModernWith.
int32_t EvaluateFeatures(const ModernWeights& weights, const FeatureVector& features);

// The classic evaluation's tables and terms as modern weights: the tuner's
// starting point. Equal to Evaluate but for black knights on row 8, which the
// classic tables do not score as a mirror of red's.
ModernWeights ClassicModernWeights();
