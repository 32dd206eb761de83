#pragma once
// A console for the tests of the line channel on any system: the channel goes
// on reading its own stream, but asks StandInConsoleEvents how many events the
// console has queued.

#include <cstdint>

#include "shell/line_channel.h"

extern int32_t StandInConsoleEvents;

// Makes the channel take its input for a console counted by the stand-in.
void UseStandInConsole(LineChannel& channel);
