#pragma once
// UCCI: every line echoed as "debug info=[...]", then carried out; the
// replies, the reports and the limits of "go" as UCCI front ends read them.

#include <cstdint>

#include "search/search.h"
#include "shell/engine.h"

// Echoes the line, then carries out its command. False when the command ends
// the engine ("quit" once booted).
bool RunUcciLine(Engine& engine, char* line);

// ---------------------------------------------------------------------------
// "position" and "probe" (ucci_position.cpp)

// The start position ("startpos") or a FEN, words 2 to 7, then the moves
// after "moves": from word 3 after "startpos", from word 9 after a FEN (a
// line of fewer than ten words has none). A move that cannot be played is
// left out and the following ones are still tried. False when the placement
// is refused (the position is left as it was).
bool LoadUcciPosition(Engine& engine, Position& pos, char* const* words, int count);

// ---------------------------------------------------------------------------
// "go" (ucci_go.cpp, ucci_limits.cpp)

constexpr int32_t InfiniteDepthLimit = 15;  // "go depth infinite"

// Reads the words of a "go" line; `maxDepth` is the limit in force before it.
// After the optional "ponder" and "draw", "depth D" or "time T [increment I]
// [movestogo M]"; "nodes N" may stand anywhere. The depth limit persists from
// one "go" to the next unless "depth" changes it; a clock and a node limit
// apply to this "go" only. Times are in milliseconds, or in seconds when
// `millisec` is false.
SearchLimits ReadUcciGoLimits(char* const* words, int count, int32_t maxDepth, bool millisec);

// "go": a book move at once, or a search of the game position, reported in
// "info" lines, then the best move.
void RunUcciGo(Engine& engine, char* const* words, int count);

// ---------------------------------------------------------------------------
// Reports (ucci_reports.cpp)

void WriteMove(LineChannel& out, uint32_t from, uint32_t to);
// "info time T nodes N".
void ReportTime(LineChannel& out, int32_t elapsed, uint32_t nodes);
// "info depth D score S pv " and the line's moves, each followed by a space;
// "nobestmove" and a line feed in place of the moves when the table gave none.
void ReportDepth(LineChannel& out, int32_t depth, int32_t score, const PrincipalVariation& pv);
// "bestmove M [ponder P]", or "nobestmove" when the answer has no move.
void ReportBestMove(LineChannel& out, const SearchAnswer& answer);
// "pophash ...": what the table holds for the position, or its quiescence
// value.
void ReportProbe(LineChannel& out, SearchState& state, Position& pos);
