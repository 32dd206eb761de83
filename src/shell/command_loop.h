#pragma once
// One command line at a time, as the loop of RunUcci carries them out.

#include "position/position.h"

// Puts every setting back as it is at start-up: not booted, no position, the
// depth limit of 20, every option on, no banned moves.
void ResetEngineState();

// The positions the loop owns, for the reports and for a look from outside.
const Position& CurrentGamePosition();
const Position& CurrentProbePosition();

// Echoes the line, then carries out its command. False when the command ends
// the engine ("quit" once booted).
bool RunCommandLine(char* line);

// Reads and carries out the engine channel's lines until "quit" or the end of
// the input, waiting a millisecond whenever no whole line is there yet.
void ServeCommands();
