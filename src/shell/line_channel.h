#pragma once
// The engine's one path to the outside: whole lines in, text out, never
// blocking on input that is not there. Works on a terminal, a pipe from a front
// end or a redirected file.

#include <cstdint>

#include "shell/platform.h"

// The longest line handed out whole, without its zero: room for a "position
// startpos moves ..." line of any game the engine can keep. Longer lines are
// refused whole, so that no part of one is ever taken for a command.
constexpr int32_t MaxLineLength = 65536 - 1;
constexpr int32_t LineBufferSize = MaxLineLength + 1;  // a caller's line buffer
// A longest line with a carriage return and its line feed.
constexpr int32_t ChannelBufferSize = MaxLineLength + 2;

struct LineChannel {
    StreamHandle InHandle;   // lines are read from here
    StreamHandle OutHandle;  // text is written here
    int32_t IsConsole;       // the input is a console that queues events (Windows)
    int32_t PipeAvailable;   // bytes known to be waiting and not yet read
    int32_t Filled;          // bytes held in Buffer
    char Buffer[ChannelBufferSize];
    bool InputEnded;  // the input reached its end (or failed): nothing more will be read
    bool Overlong;    // the line being read is too long: its bytes are dropped as they come
    // The last line ReadLine handed out was refused as too long and came out
    // empty; false after every other line.
    bool LastLineOverlong;
    // Where HasInput learns how many events a console has queued: the system's
    // count, unless a test stands in for the console.
    int32_t (*CountConsoleEvents)(StreamHandle console);
};

// Opens on the standard input and output.
void OpenChannel(LineChannel& channel);
// Opens on two streams the caller already has.
void OpenOnStreams(LineChannel& channel, StreamHandle in, StreamHandle out);
// Closes both streams.
void CloseChannel(LineChannel& channel);

// One read into the free part of the buffer.
void FillChannel(LineChannel& channel);
// Whether a read would find something (data or the end of the input) at once.
// A console needs two queued events or more: a lone one is often no key at all
// (a key release, a focus change), and a read would wait for a whole line.
// A pipe is asked for its count only when the last count has been read.
bool HasInput(LineChannel& channel);
// Hands out one complete line already held in the buffer (or refuses it).
bool TakeLine(LineChannel& channel, char* line);
// The next line into `line` (LineBufferSize bytes), if one can be had without
// waiting. A line of more than MaxLineLength bytes (a carriage return before
// its line feed not counted) is dropped up to its line feed, however many
// reads that takes, and comes out as an empty line with LastLineOverlong set.
// A last line without a line feed is handed out when the input ends.
bool ReadLine(LineChannel& channel, char* line);
// True once the input has ended and every line it held has been handed out.
bool AtEndOfInput(const LineChannel& channel);

// Writes the text as it is, straight to the stream.
void WriteChannel(LineChannel& channel, const char* text);
