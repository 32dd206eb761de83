#pragma once
// FEN text of a position, the inverse of LoadFen for the placement and the
// side to move.

#include <string>

#include "position/position.h"

// Placement, side ("w" or "b") and the four fields "- - 0 1", which the
// engine ignores, so that equal positions always give equal text.
std::string FenOfPosition(const Position& pos);
