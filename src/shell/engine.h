#pragma once
// The engine the shell owns, one per session, and what both protocols do
// alike with it: preparing the tables and the book, the game position, a
// FEN and its moves, reading the input during a search, and messages. The
// protocols (ucci_*.cpp, uci_*.cpp) build on this and never on each other.

#include <cstdint>

#include "book/book.h"
#include "position/position.h"
#include "search/search.h"
#include "shell/line_channel.h"
#include "shell/tokenizer.h"

// The depth limit of a "go" that sets neither a depth nor any other limit.
constexpr int32_t DefaultDepthLimit = 20;
// The ratings UCI_Elo offers, on the scale of Fairy-Stockfish's own levels
// (matched against them; the README has the table).
constexpr int32_t WeakestElo = 1350, StrongestElo = 2850;

struct Engine {
    LineChannel channel;  // the front end
    SearchState search;
    Book book;
    Position game;     // set by "position", searched by "go"
    Position probe;    // used by "probe" only, so that probing never disturbs the game
    bool booted;       // "ucci" (or a "go") has run
    bool introduced;   // the "ucci" reply has been written: later ones write nothing
    bool prepared;     // the tables and the book are built
    bool positionSet;  // the game position has been loaded at least once
    bool probeSet;     // the probe position has been loaded at least once
    int32_t maxDepth;  // UCCI's depth limit, persisting from one "go" to the next
    bool useBook;
    bool useMillisec;  // UCCI's clock times are in milliseconds, else in seconds
    bool quitting;     // "quit" came during a search: end once it has answered
    bool uci;          // the session speaks UCI: messages go out as "info string"
    bool infinite;     // the running search waits for "stop", a ponderhit or not
    // UCI's analysis and strength options, and the running search's start.
    int32_t lines;       // MultiPV: the best lines each depth reports
    bool analysing;      // UCI_AnalyseMode: the book stays shut
    bool limitStrength;  // UCI_LimitStrength: play as UCI_Elo would
    int32_t elo;
    int64_t searchStart;  // clock reading at the "go"
};

// The start-up settings: not booted, no position, the depth limit of 20,
// every option at its default, no banned moves, a channel that reads and
// writes nothing. False when the hash table's memory cannot be had.
bool InitEngine(Engine& engine);

// The tables, then the book (its keys need them), built once, by whichever
// command needs them first. A malformed move in the book is told in UCCI as
// the move parser's messages, and not at all in UCI.
void PrepareEngine(Engine& engine);

// The game position; the start position until one has been set.
Position& GamePosition(Engine& engine);

// What to do with a listed move that cannot be played.
enum IllegalMoveRule : uint8_t {
    SkipIllegalMoves,   // leave it out and try the ones after it
    StopAtIllegalMove,  // play nothing from it on; nor from a word that is no move text
};
// Loads the FEN (null: the start position) and plays the moves in order.
// Malformed move texts are told as PrepareEngine tells them. A placement no
// game can reach is refused with a message, the position left as it was:
// false then.
bool LoadGameWords(Engine& engine, Position& pos, const char* fen, char* const* moves, int count,
                   IllegalMoveRule rule);

// Messages (messages.cpp).

// A message of the engine's own, on one line beginning "info " (UCI:
// "info string ").
void WriteMessage(Engine& engine, const char* text);
// "debug info=[", the words separated by single spaces, "]" and a line feed.
void EchoWords(LineChannel& channel, char* const* words, int count);
// A line refused as too long: the message that says so.
void RefuseOverlongLine(Engine& engine);
// The move parser's messages for a malformed move text (UCCI only).
void WriteMoveTextFaults(Engine& engine, const MoveTextFaults& faults);

// The search's stop hook: reads at most one waiting line (UCCI echoes it).
// "stop" ends the search, and so does the end of the input, since no "stop"
// can come any more; "quit" ends it too and then the engine. "isready" is
// answered at once, "ponderhit" passed on unless the search waits for "stop"
// whatever comes; other lines are consumed without effect.
PollAnswer PollDuringSearch(Engine& engine);

// A legal book move for the game position when the book is in use, as an
// answer of depth 0 whose line is that move.
bool ChooseBookAnswer(Engine& engine, SearchAnswer& answer);

// Reads the channel's lines and hands each to `runLine` until it returns
// false or the input ends, waiting a millisecond whenever no whole line is
// there yet. A line too long to read whole is refused with a message.
void ServeLines(Engine& engine, bool (*runLine)(Engine& engine, char* line));
