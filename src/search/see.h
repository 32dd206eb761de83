#pragma once
// Static exchange (see.cpp): what a capture wins once every attacker of its
// square has joined in, cheapest first.

#include "search/search.h"

// The ordering value of a piece, with 2 more for a pawn across the river.
int32_t OrderValue(uint32_t piece, uint32_t square);

struct AttackerCursor {
    uint8_t stage;
    uint32_t target;
    uint8_t side;
    uint8_t step;
};
void InitAttackerCursor(AttackerCursor& cursor, uint32_t target, uint32_t side);
uint32_t NextAttacker(AttackerCursor& cursor, const Position& pos);  // a square, 0 for none

// Both overwrite record.score; the position is exactly as before on return.
bool IsGoodCapture(Position& pos, MoveRecord& record);
void StaticExchange(Position& pos, MoveRecord& record);
