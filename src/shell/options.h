#pragma once
// The engine's options: one table gives each option's name, its default and
// what it sets, and drives both "setoption" and the option lines of the
// "ucci" reply.

#include "shell/engine.h"

struct EngineOption {
    const char* name;  // in small letters; "setoption" may write it in any case
    bool announced;    // listed in the "ucci" reply as "option NAME default true|false"
    bool defaultOn;
    void (*apply)(Engine& engine, bool on);  // null: accepted, changes nothing
};

extern const EngineOption EngineOptions[];
extern const int EngineOptionCount;

// Every option at its default.
void ApplyDefaultOptions(Engine& engine);
// "setoption NAME true|false": other values, and unknown names, change nothing.
void RunSetOption(Engine& engine, char* const* words, int count);
// The option lines of the "ucci" reply, in table order.
void WriteOptionLines(LineChannel& channel);
