#pragma once
// UCI: the same engine for front ends and testing tools that speak UCI,
// chosen by a first command "uci" and kept to the end of the session. Moves
// and positions are written as in UCCI.

#include <cstddef>
#include <cstdint>

#include "search/search.h"
#include "shell/engine.h"

// The line's first word is "uci", in any case.
bool IsUciCommand(const char* line);
// Answers the "uci" already read, then serves UCI lines until "quit" or the
// end of the input.
void ServeUci(Engine& engine);
// Carries out one UCI line, echoing nothing. False when the session ends.
bool RunUciLine(Engine& engine, char* line);

// "position startpos|fen FEN [moves ...]": the FEN's words before "moves"
// (at most six), then the moves up to the first that is not a legal move in
// coordinate notation. False when the placement is refused (the position is
// left as it was).
bool LoadUciPosition(Engine& engine, Position& pos, char* const* words, int count);
// The same from the word `kind` ("startpos" or "fen"): 1 after "position",
// 0 in the short form some xiangqi front ends send ("fen BOARD SIDE [moves
// ...]", "startpos [moves ...]").
bool LoadUciPositionAt(Engine& engine, Position& pos, char* const* words, int count, int kind);
// "setoption name NAME... [value VALUE]": unknown names are ignored.
void RunUciSetOption(Engine& engine, char* const* words, int count);

struct UciGoLimits {
    SearchLimits limits;
    bool infinite;  // answer only after "stop", whatever the search finds
    int32_t mate;   // "mate N": search until a mate in N moves at most; 0: not asked
};
// The words of a "go" line for the side to move (0 red, 1 black). Missing or
// junk numbers read as 0; a depth is at least 1, so that a move is found.
// "searchmoves" takes the move texts after it (legal or not: see RunUciGo).
UciGoLimits ReadUciGoLimits(char* const* words, int count, uint32_t sideToMove);

// "go": a book move, or a search reported in "info" lines, then "bestmove".
void RunUciGo(Engine& engine, char* const* words, int count);
// "cp S", or "mate M" in moves (negative when the side to move is mated).
// Centipawns as UCI tools read them: 100 is a pawn not yet across the river.
void FormatUciScore(int32_t score, char* text, size_t capacity);
// The evaluation's units in centipawns.
int32_t UciCentipawns(int32_t score);
