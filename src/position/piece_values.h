#pragma once
// Red's placement values, material included, by row (0 = black's back rank)
// and file. Black's value on (file, row) is red's on (file, 9 - row), except
// black's knight row 8, which repeats black's row 6.

#include <cstdint>

extern const int32_t KingValues[10][9];
extern const int32_t AdvisorBishopValues[10][9];
extern const int32_t KnightValues[10][9];
extern const int32_t RookValues[10][9];
extern const int32_t CannonValues[10][9];
extern const int32_t PawnValues[10][9];

// The value of a piece of `kind` (0..13) on (file, row).
int32_t PlacementValue(uint32_t kind, uint32_t file, uint32_t row);

// An uncrossed pawn, in the units above: its values on the squares it may
// hold before the river (its first two rows) average about 10. Scores shown
// in centipawns take this as 100.
constexpr int32_t PawnUnit = 10;
