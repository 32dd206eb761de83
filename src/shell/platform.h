#pragma once
// The few operating-system services the shell needs: byte streams on the
// standard handles or on pipes, a readiness test that never blocks, and a
// short sleep. One implementation per platform sits beside this header
// (platform_posix.cpp, platform_win32.cpp); nothing else in the engine calls
// the system.

#include <cstdint>

// Wide enough for a descriptor or for a handle of any platform.
typedef intptr_t StreamHandle;
constexpr StreamHandle NoStream = -1;

StreamHandle StandardInputStream();
StreamHandle StandardOutputStream();

// Whether the stream is a console that queues input events (Windows). A POSIX
// terminal is not one: it is read like a pipe, and poll sees whole lines.
bool IsConsoleStream(StreamHandle stream);
// Switches window and mouse events off on a console, keeping its line input
// as it was, and drops what was queued before.
void PrepareConsoleInput(StreamHandle console);
// Events queued on a console (key presses and releases, focus and menu
// changes); -1 when the stream is no console.
int32_t PendingConsoleEvents(StreamHandle console);

// Writing into a pipe whose reader is gone fails like any other write instead
// of ending the process.
void IgnoreBrokenPipes();
// The standard library's output streams write line feeds unchanged (Windows
// would make CR LF of them), so that all the engine prints ends lines alike.
void UseBinaryStandardStreams();

// What a read would find right now: > 0 that many bytes are known to be
// waiting; 0 nothing yet (a read would block); -1 the count is unknown: a
// file, the end of the input, an error, or (Windows) a handle that is no pipe.
// The read that follows -1 returns at once, except on such a handle.
int32_t PendingInputBytes(StreamHandle stream);

// Up to `size` bytes. > 0 bytes read; 0 the input has ended (or failed for
// good); -1 nothing read this time (interrupted or not ready), try again later.
int32_t ReadStream(StreamHandle stream, char* buffer, int32_t size);

// Writes every byte unless the stream fails; failures are ignored.
void WriteStream(StreamHandle stream, const char* bytes, int32_t size);
void CloseStream(StreamHandle stream);

void SleepMilliseconds(int32_t ms);
