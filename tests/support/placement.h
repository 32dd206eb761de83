#pragma once
// Positions written as pieces on squares, for tests that build small boards:
// "Ke0 ke9 Ch2" is a red king on e0, a black king on e9 and a red cannon on h2
// (FEN letters, then the square as in move strings).

#include <string>

#include "position/position.h"
#include "support/fen_text.h"

// Loads the pieces with `side` to move. Returns what was wrong with the words
// (a malformed word, a square used twice, a piece too many, a placement that
// LoadFen refuses), or the empty text; the calling test checks that it is
// empty.
[[nodiscard]] std::string LoadPlacement(Position& pos, const char* pieces, uint32_t side = Red);
// The placement and side fields of a FEN text for a grid of FEN letters by
// [row][file], 0 for an empty square.
std::string FenOfGrid(const char grid[10][9], uint32_t side);
