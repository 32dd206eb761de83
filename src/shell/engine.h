#pragma once
// The engine the shell owns, one per session: the channel to the front end,
// the game and probe positions, the book, the option values and the search's
// state. Commands are carried out on it one line at a time.

#include <cstdint>

#include "book/book.h"
#include "position/position.h"
#include "search/search.h"
#include "shell/line_channel.h"
#include "shell/tokenizer.h"

struct Engine {
    LineChannel channel;  // the front end
    SearchState search;
    Book book;
    Position game;     // set by "position", searched by "go"
    Position probe;    // used by "probe" only, so that probing never disturbs the game
    bool booted;       // "ucci" (or a "go") has run
    bool prepared;     // the tables and the book are built
    bool positionSet;  // the game position has been loaded at least once
    bool probeSet;     // the probe position has been loaded at least once
    int32_t maxDepth;  // the depth limit, persisting from one "go" to the next
    bool useBook;
    bool quitting;  // "quit" came during a search: end once it has answered
    bool uci;       // the session speaks UCI: messages go out as "info string"
};

// The start-up settings: not booted, no position, the depth limit of 20,
// every option at its default, no banned moves, a channel that reads and
// writes nothing. False when the hash table's memory cannot be had.
bool InitEngine(Engine& engine);

// The tables, then the book (its keys need them), built once, by whichever
// command needs them first.
void PrepareEngine(Engine& engine);

// "debug info=[", the words separated by single spaces, "]" and a line feed.
void EchoWords(LineChannel& channel, char* const* words, int count);
// A message of the engine's own, on one line beginning "info " (UCI:
// "info string ").
void WriteMessage(Engine& engine, const char* text);

// "position" and "probe": the start position ("startpos") or a FEN, then the
// moves after "moves".
void LoadPositionCommand(Position& pos, char* const* words, int count);

// Echoes the line, then carries out its command. False when the command ends
// the engine ("quit" once booted).
bool RunCommandLine(Engine& engine, char* line);

// Reads and carries out the channel's lines until "quit" or the end of the
// input, waiting a millisecond whenever no whole line is there yet.
void ServeCommands(Engine& engine);

// Serves a whole session: UCI when its first line is "uci", else UCCI.
void ServeSession(Engine& engine);

// "go": the book or a search of the game position, then the best move.
void RunGo(Engine& engine, char* const* words, int count);
// The search's stop hook: reads at most one waiting line and echoes it.
// "stop" ends the search, and so does the end of the input, since no "stop"
// can come any more; "quit" ends it too and then the engine. "isready" is
// answered at once, "ponderhit" passed on; other lines are consumed without
// effect.
PollAnswer PollDuringSearch(Engine& engine);
// What a command read during a search asks of it, in either protocol.
PollAnswer AnswerDuringSearch(Engine& engine, CommandToken command);
