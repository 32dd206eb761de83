#include "shell/options.h"

#include "shell/tokenizer.h"

namespace {

void SetCheckInQuiescence(Engine& engine, bool on) {
    engine.search.options.checkInQuiescence = on;
}
// One switch for both uses of the success ratios.
void SetHistoryPruning(Engine& engine, bool on) {
    engine.search.options.historyPruning = on;
    engine.search.options.historyReduction = on;
}
void SetUseBook(Engine& engine, bool on) {
    engine.useBook = on;
}

}  // namespace

const EngineOption EngineOptions[] = {
    {"usemillisec", true, true, nullptr},  // times are always in milliseconds
    {"check_in_quiescence", true, true, SetCheckInQuiescence},
    {"use_history_pruning", true, true, SetHistoryPruning},
    {"usebook", false, true, SetUseBook},
};
const int EngineOptionCount = int(sizeof EngineOptions / sizeof EngineOptions[0]);

void ApplyDefaultOptions(Engine& engine) {
    for (const EngineOption& option : EngineOptions)
        if (option.apply) option.apply(engine, option.defaultOn);
}

void RunSetOption(Engine& engine, char* const* words, int count) {
    const CommandToken value = KeywordOf(WordAt(words, count, 2));
    if (value != TokenTrue && value != TokenFalse) return;
    const char* name = WordAt(words, count, 1);
    for (const EngineOption& option : EngineOptions) {
        if (!SameWordIgnoringCase(name, option.name)) continue;
        if (option.apply) option.apply(engine, value == TokenTrue);
        return;
    }
}

void WriteOptionLines(LineChannel& channel) {
    for (const EngineOption& option : EngineOptions) {
        if (!option.announced) continue;
        WriteChannel(channel, "option ");
        WriteChannel(channel, option.name);
        WriteChannel(channel, option.defaultOn ? " default true\n" : " default false\n");
    }
}
