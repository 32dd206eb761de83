#pragma once
// A line channel to a child program, as a front end holds one with an engine:
// the channel reads the child's output and writes to its input.

#include <cstdint>

#include "shell/line_channel.h"
#include "support/child_process.h"

struct ChildChannel {
    LineChannel channel;
    ProcessHandle process;
    int32_t exitCode;  // once closed; -1 before, and when the child never started
};

// Starts the program of `commandLine` (see StartChildProcess) with two new
// pipes. False when it cannot start: the channel then reads nothing and
// writes nowhere.
bool OpenChildChannel(ChildChannel& child, const char* commandLine);
// Closes the writing side only: the child sees the end of its input.
void CloseChildInput(ChildChannel& child);
// Closes both pipes and waits for the child (ending it by force when it
// lingers); its exit code is kept in exitCode.
void CloseChildChannel(ChildChannel& child);
