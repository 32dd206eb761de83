#pragma once
// The engine shell: the UCCI command loop and the developer commands.

// Speaks UCCI on standard input and output until "quit" or the end of input.
int RunUcci();

// Writes text to the front end through the engine's channel, as it is.
void WriteOut(const char* text);
