#pragma once
// What the engine tells the front end about a search: progress lines, the
// best move and the answer to "probe". Every move printed is read back from
// the hash table.

#include <cstdint>

#include "position/position.h"
#include "search/search.h"
#include "shell/line_channel.h"

// The principal variation has at most this many moves.
constexpr int MaxPvLength = 64;

// The principal variation as the table holds it from the position: false
// when the position's entry gives no best move (none, no move, or an upper
// bound). Else `listed` moves that fit the positions they reach, up to a
// repetition; the first `legal` of them can be made (a last one may leave
// its own king in check). The position is as it was on return.
bool WalkPv(const HashTable& table, Position& pos, Move* moves, int& listed, int& legal);
// The table's best move for the position and, when the table has a reply to
// it, the move to ponder on (0 when none). False when there is no entry, or
// its move does not fit the position.
bool TableBestMove(const HashTable& table, Position& pos, Move& best, Move& ponder);

void WriteMove(LineChannel& out, uint32_t from, uint32_t to);
void ReportTime(LineChannel& out, int32_t elapsed, uint32_t nodes);
void ReportDepth(LineChannel& out, const HashTable& table, int32_t depth, int32_t score,
                 Position& pos);
void ReportPv(LineChannel& out, const HashTable& table, Position& pos);
void ReportBestMove(LineChannel& out, const HashTable& table, Position& pos);
// What the table holds for the position, or its quiescence value.
void ReportProbe(LineChannel& out, SearchState& state, Position& pos);
