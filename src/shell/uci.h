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

// Reports (uci_reports.cpp).

// The text, then a space and the move, added to `text` as far as they fit.
void AppendUciText(char* text, size_t capacity, const char* more);
void AppendUciMove(char* text, size_t capacity, Move move);
// "info depth D seldepth S multipv K score cp X|mate N [lowerbound|upperbound]
// nodes N nps N hashfull H tbhits 0 time T [pv ...]": one line of one
// iteration.
void WriteUciInfo(Engine& engine, const IterationReport& report);
// "cp S", or "mate M" in moves (negative when the side to move is mated).
// Centipawns as UCI tools read them: 100 is a pawn not yet across the river.
void FormatUciScore(int32_t score, char* text, size_t capacity);
// The evaluation's units in centipawns.
int32_t UciCentipawns(int32_t score);

// UCI_LimitStrength (uci_strength.cpp): how deep and how long a search of
// the rating may run, and how much worse than the best a chosen line may be.
struct StrengthPlan {
    int32_t maxDepth;
    uint32_t nodes;
    int32_t margin;  // in the evaluation's units
};
// Ratings outside WeakestElo..StrongestElo count as the nearest end.
StrengthPlan PlanStrength(int32_t elo);

// The lines a weakened search weighs: the last completed depth's best lines,
// best first, each by its first move and score.
constexpr int StrengthLineCount = 4;
struct StrengthLines {
    int32_t depth;
    int count;
    Move moves[StrengthLineCount];
    int16_t scores[StrengthLineCount];
};
// One of the lines no worse than the best by more than `margin`, drawn by
// `random`, the lines before any mate score only; the best line's move
// when it mates or is mated; 0 with no line.
Move ChooseWithinMargin(const StrengthLines& lines, int32_t margin, uint32_t random);
// The same with the rating's margin and a random draw.
Move ChooseWeakerMove(const StrengthLines& lines, int32_t elo);

// What the reports of one search need: the engine, the lines to show, and
// the last completed depth's best lines for a weakened choice.
struct UciSearch {
    Engine* engine;
    int32_t shownLines;
    StrengthLines lines;
};
// The search's reporter callbacks, `context` a UciSearch: completed
// iterations only (an interrupted one has no score to show), the lines
// asked for; the root's move under way once a second has passed.
void ReportUciIteration(void* context, const IterationReport& report);
void ReportUciRootMove(void* context, Move move, int number);
