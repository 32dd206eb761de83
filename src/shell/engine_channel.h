#pragma once
// The engine's one channel to the front end, and the echo of command lines.

#include "shell/line_channel.h"

extern LineChannel EngineChannel;

// "debug info=[", the words separated by single spaces, "]" and a line feed.
void EchoWords(char* const* words, int count);
