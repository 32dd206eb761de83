#pragma once
// What every fuzz target shares: the tables built once with fixed keys, the
// standard output silenced, and checks that end the run on a violation so
// that libFuzzer records the input.

#include <cstddef>
#include <cstdint>
#include <string>

#include "position/position.h"

// Seeds the generator, builds the tables and sends the standard output (the
// move parser's messages, the reports) to /dev/null. Idempotent.
void PrepareFuzzing();

// The bytes as a zero-terminated text, cut at the first zero byte.
std::string TextOf(const uint8_t* data, size_t size);

// Prints the message, the position's placement and `context`, then aborts.
[[noreturn]] void FuzzFailure(const char* message, const Position& pos, const std::string& context);

// Aborts when an incremental field of the position disagrees with a
// recomputation, or the stacks' counters run past their room.
void RequireInvariants(const Position& pos, const char* step);

// Whether every piece stands where its kind can stand in play: kings and
// advisors in their palace spots, bishops on their seven squares, pawns not
// behind their starting rows and off the pawn files only across the river.
// The generators and IsPseudoLegal agree only on such placements.
bool PlacementIsReachable(const Position& pos);

// A reachable placement with both kings, where the side that just moved is
// not left in check (the kings facing each other included).
bool PositionIsReachable(const Position& pos);

// Whether GenerateAll lists the move.
bool IsGenerated(const Position& pos, Move move);
// Whether the move is legal for the side to move: one of its pieces to a
// square it does not hold, accepted by MakeMove (then taken back) and, on a
// reachable placement, generated and pseudo-legal too.
bool IsLegalMove(Position& pos, Move move);
