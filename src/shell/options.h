#pragma once
// The engine's options: one table gives each option's names, its kind, its
// default and what it sets, and drives "setoption" and the option lines of
// the "ucci" and "uci" replies.

#include <cstdint>

#include "shell/engine.h"

enum OptionKind : uint8_t {
    OptionCheck,   // true or false
    OptionSpin,    // a whole number
    OptionButton,  // an action, no value
    OptionCombo,   // one of a few words; the value is its index
};

struct EngineOption {
    const char* ucciName;  // in small letters, any case accepted; null: none
    const char* uciName;   // as UCI front ends show it, any case accepted; null: none
    OptionKind kind;
    bool announced;        // listed in the "ucci" reply as "option NAME default true|false"
    int32_t defaultValue;  // a check: 1 true, 0 false
    int32_t minValue, maxValue;
    void (*apply)(Engine& engine, int32_t value);  // null: accepted, changes nothing
    const char* const* choices = nullptr;          // a combo's words, null-terminated
};

extern const EngineOption EngineOptions[];
extern const int EngineOptionCount;

// Every option at its default (the hash table keeps its size).
void ApplyDefaultOptions(Engine& engine);
// The option `name` is called in UCCI, or null.
const EngineOption* FindUcciOption(const char* name);
// The option `name` is called in UCI (several words, single spaces), or null.
const EngineOption* FindUciOption(const char* name);
// Reads the option's value from the text as its kind wants it and applies
// it: "true" or "false" for a check, a decimal number for a spin (an empty
// text meaning the default), one of the words of a combo (any case),
// nothing for a button. False, changing nothing,
// when the text is not such a value.
bool SetOptionFromText(Engine& engine, const EngineOption& option, const char* text);
// "setoption NAME [VALUE]": unknown names, and values that do not fit the
// option, change nothing.
void RunSetOption(Engine& engine, char* const* words, int count);
// The option lines of the "ucci" reply, in table order.
void WriteOptionLines(LineChannel& channel);
// The option lines of the "uci" reply: every option with a UCI name, in
// table order, "option name NAME type KIND ...".
void WriteUciOptionLines(LineChannel& channel);
