#pragma once
// Starting a program with pipes on its standard streams, and waiting for it to
// end: how the tests and the tools play a front end to the built engine. The
// engine itself never starts a program. One implementation per platform sits
// beside this header (child_process_posix.cpp, child_process_win32.cpp).

#include <cstdint>

#include "shell/platform.h"

// Wide enough for a process id or for a handle of any platform.
typedef intptr_t ProcessHandle;
constexpr ProcessHandle NoProcess = -1;

// Starts the program named by the first word of `commandLine` (the later words
// are its arguments, separated by spaces; on Windows the program's path may be
// quoted) in the program's own directory, its standard input fed from
// `toChild` and its standard output and error read through `fromChild`. False,
// with nothing left open, when it cannot start.
struct ChildStreams {
    StreamHandle toChild;
    StreamHandle fromChild;
    ProcessHandle process;
};
bool StartChildProcess(const char* commandLine, ChildStreams& child);

// The exit code of a child ended by force, the one a POSIX kill signal gives.
constexpr int32_t ForcedExitCode = 128 + 9;

// Waits up to `timeoutMs` for the child to end, then ends it by force. Returns
// its exit code, 128 + the signal number when a signal ended it (POSIX), or
// ForcedExitCode when it had to be ended.
int32_t WaitChildProcess(ProcessHandle process, int32_t timeoutMs);
