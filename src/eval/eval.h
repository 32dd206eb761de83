#pragma once
// The static evaluation: material and placement sums kept by the position,
// eight positional terms per side, and a bonus for the side to move.

#include "position/position.h"

// From the side to move's point of view.
int32_t Evaluate(const Position& pos);

// Each term: the points that `side` earns (never negative).
int32_t EmptyCannonBonus(const Position& pos, uint32_t side);
int32_t PalaceHeartBonus(const Position& pos, uint32_t side);
int32_t RookAdvantageBonus(const Position& pos, uint32_t side);
int32_t KnightCannonPairBonus(const Position& pos, uint32_t side);
int32_t RookPinBonus(const Position& pos, uint32_t side);
// Both sides' RookPinBonus from one look at the rook pairs, indexed by side.
void RookPinBonuses(const Position& pos, int32_t points[2]);
int32_t KnightMobility(const Position& pos, uint32_t side);
int32_t RookMobility(const Position& pos, uint32_t side);
int32_t CentralCannonBonus(const Position& pos, uint32_t side);
