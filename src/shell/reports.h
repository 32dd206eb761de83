#pragma once
// What the engine tells the front end about a search: progress lines, the
// best move and the answer to "probe". Every move printed is read back from
// the hash table.

#include <cstdint>

#include "position/position.h"
#include "search/search.h"
#include "shell/line_channel.h"

void WriteMove(LineChannel& out, uint32_t from, uint32_t to);
void ReportTime(LineChannel& out, int32_t elapsed, uint32_t nodes);
void ReportDepth(LineChannel& out, const HashTable& table, int32_t depth, int32_t score,
                 Position& pos);
void ReportPv(LineChannel& out, const HashTable& table, Position& pos);
void ReportBestMove(LineChannel& out, const HashTable& table, Position& pos);
// What the table holds for the position, or its quiescence value.
void ReportProbe(LineChannel& out, SearchState& state, Position& pos);
