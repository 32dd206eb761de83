#pragma once
// What the engine tells the front end about a search: progress lines, the
// best move and the answer to "probe". Every move printed is read back from
// the hash table.

#include <cstdint>

#include "position/position.h"

void WriteMove(uint32_t from, uint32_t to);
void ReportTime(int32_t elapsed);
void ReportDepth(int32_t depth, int32_t score, Position& pos);
void ReportPv(Position& pos);
void ReportBestMove(Position& pos);
void ReportProbe(Position& pos);
