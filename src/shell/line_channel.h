#pragma once
// The engine's one path to the outside: whole lines in, text out, never
// blocking on input that is not there. Works on a terminal, a pipe from a front
// end or a redirected file.

#include <cstdint>

#include "shell/platform.h"

constexpr int32_t LineBufferSize = 1024;  // a caller's line buffer: 1023 characters and a zero
// The longest line a channel can be set to hand out whole, and its zero: room
// for a "position startpos moves ..." line of a game of over 3000 plies.
constexpr int32_t LongLineBufferSize = 16384;

struct LineChannel {
    StreamHandle InHandle;   // lines are read from here
    StreamHandle OutHandle;  // text is written here
    int32_t IsConsole;       // the input is a console that queues events (Windows)
    int32_t PipeAvailable;   // bytes known to be waiting and not yet read
    int32_t Filled;          // bytes held in Buffer
    int32_t MaxLine;         // longer lines are handed out in pieces of this many bytes
    char Buffer[LongLineBufferSize];
    bool LastLineOverlong;  // the line last handed out was too long and is refused
    bool InputEnded;        // the input reached its end (or failed): nothing more will be read
    // Where HasInput learns how many events a console has queued: the system's
    // count, unless a test stands in for the console.
    int32_t (*CountConsoleEvents)(StreamHandle console);
};

// Opens on the standard input and output.
void OpenChannel(LineChannel& channel);
// Opens on two streams the caller already has. Lines are cut at 1023 bytes.
void OpenOnStreams(LineChannel& channel, StreamHandle in, StreamHandle out);
// Lines up to `length` bytes (held within 1023..LongLineBufferSize - 1) are
// handed out whole from now on; the caller's line buffers must hold them.
void SetMaxLineLength(LineChannel& channel, int32_t length);
// Closes both streams.
void CloseChannel(LineChannel& channel);

// One read into the free part of the buffer.
void FillChannel(LineChannel& channel);
// Whether a read would find something (data or the end of the input) at once.
// A console needs two queued events or more: a lone one is often no key at all
// (a key release, a focus change), and a read would wait for a whole line.
// A pipe is asked for its count only when the last count has been read.
bool HasInput(LineChannel& channel);
// Hands out one complete line already held in the buffer.
bool TakeLine(LineChannel& channel, char* line);
// The next line, if one can be had without waiting. Longer lines come in pieces
// of MaxLine characters; a last line without a line feed is handed out when
// the input ends.
bool ReadLine(LineChannel& channel, char* line);
// True once the input has ended and every line it held has been handed out.
bool AtEndOfInput(const LineChannel& channel);

// Writes the text as it is, straight to the stream.
void WriteChannel(LineChannel& channel, const char* text);
