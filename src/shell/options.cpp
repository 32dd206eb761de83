#include "shell/options.h"

#include <cstdio>

#include "shell/tokenizer.h"

namespace {

void SetCheckInQuiescence(Engine& engine, int32_t on) {
    engine.search.options.checkInQuiescence = on != 0;
}
// One switch for both uses of the success ratios.
void SetHistoryPruning(Engine& engine, int32_t on) {
    engine.search.options.historyPruning = on != 0;
    engine.search.options.historyReduction = on != 0;
}
void SetUseMillisec(Engine& engine, int32_t on) {
    engine.useMillisec = on != 0;
}
void SetUseBook(Engine& engine, int32_t on) {
    engine.useBook = on != 0;
}
// The table is allocated once per change of size; a size that cannot be had
// keeps the old table.
void SetHashMegabytes(Engine& engine, int32_t megabytes) {
    if (megabytes < 0) megabytes = int32_t(MinHashMegabytes);
    const uint32_t buckets = HashBucketsForMegabytes(uint32_t(megabytes));
    if (buckets == engine.search.hash.mask + 1) return;
    if (ResizeHash(engine.search.hash, buckets)) return;
    char text[128];
    std::snprintf(text, sizeof text, "hash table of %d MB cannot be allocated; it stays %u MB",
                  megabytes, unsigned((uint64_t(engine.search.hash.mask) + 1) * 32 >> 20));
    WriteMessage(engine, text);
}
// The helpers are started here, not per "go"; 0 (no value) is the default.
void SetThreads(Engine& engine, int32_t count) {
    if (count < 1) count = 1;
    if (SetSearchThreads(engine.search, count)) return;
    WriteMessage(engine, "the search threads cannot be had; it searches with one");
}
// A new game starts with nothing learnt.
void ClearLearning(Engine& engine, int32_t) {
    ResetForNewGame(engine.search);
}
// The profile's words, in the order of their values.
const char* const ProfileChoices[] = {"modern", "classic", nullptr};
void SetProfile(Engine& engine, int32_t choice) {
    const SearchProfile profile = choice == 0 ? ProfileModern : ProfileClassic;
    if (profile == engine.search.profile) return;
    engine.search.profile = profile;
    ResetForNewGame(engine.search);
}

// The only game played; a front end that offers several names it.
const char* const VariantChoices[] = {"xiangqi", nullptr};
constexpr int32_t MaxLines = 128;
void SetLines(Engine& engine, int32_t lines) {
    engine.lines = lines < 1 ? 1 : lines > MaxLines ? MaxLines : lines;
}
void SetAnalysing(Engine& engine, int32_t on) {
    engine.analysing = on != 0;
}
void SetLimitStrength(Engine& engine, int32_t on) {
    engine.limitStrength = on != 0;
}
// No value: the strongest.
void SetElo(Engine& engine, int32_t elo) {
    engine.elo = elo == 0             ? StrongestElo
                 : elo < WeakestElo   ? WeakestElo
                 : elo > StrongestElo ? StrongestElo
                                      : elo;
}

// A decimal number with an optional sign and nothing else; false otherwise.
bool ReadWholeNumber(const char* text, int32_t& value) {
    const char* p = text;
    if (*p == '+' || *p == '-') p++;
    if (*p < '0' || *p > '9') return false;
    for (; *p; p++)
        if (*p < '0' || *p > '9') return false;
    value = ReadInteger(text);
    return true;
}

}  // namespace

const EngineOption EngineOptions[] = {
    // UCCI's clock times: milliseconds, or seconds when false.
    {"usemillisec", nullptr, OptionCheck, true, 1, 0, 1, SetUseMillisec},
    {"hashsize", "Hash", OptionSpin, false, 8, int32_t(MinHashMegabytes), int32_t(MaxHashMegabytes),
     SetHashMegabytes},
    {"threads", "Threads", OptionSpin, false, 1, 1, MaxSearchThreads, SetThreads},
    {"newgame", "Clear Hash", OptionButton, false, 0, 0, 0, ClearLearning},
    // A front end may offer pondering; the engine ponders whenever told to.
    {nullptr, "Ponder", OptionCheck, false, 0, 0, 1, nullptr},
    {"usebook", "UseBook", OptionCheck, false, 1, 0, 1, SetUseBook},
    {"check_in_quiescence", "CheckInQuiescence", OptionCheck, true, 1, 0, 1, SetCheckInQuiescence},
    {"use_history_pruning", "HistoryPruning", OptionCheck, true, 1, 0, 1, SetHistoryPruning},
    // Which engine searches. Its default is the protocol's: classic in a
    // UCCI session, whose front ends expect the original engine, modern in a
    // UCI one; UCCI does not announce it.
    {"profile", "Profile", OptionCombo, false, 0, 0, 1, SetProfile, ProfileChoices},
    // UCI only: what a front end for several games, or an analysis board, asks.
    {nullptr, "UCI_Variant", OptionCombo, false, 0, 0, 0, nullptr, VariantChoices},
    {nullptr, "MultiPV", OptionSpin, false, 1, 1, MaxLines, SetLines},
    {nullptr, "UCI_AnalyseMode", OptionCheck, false, 0, 0, 1, SetAnalysing},
    {nullptr, "UCI_LimitStrength", OptionCheck, false, 0, 0, 1, SetLimitStrength},
    {nullptr, "UCI_Elo", OptionSpin, false, StrongestElo, WeakestElo, StrongestElo, SetElo},
};
const int EngineOptionCount = int(sizeof EngineOptions / sizeof EngineOptions[0]);

void ApplyDefaultOptions(Engine& engine) {
    for (const EngineOption& option : EngineOptions)
        if (option.apply && option.kind == OptionCheck) option.apply(engine, option.defaultValue);
}

const EngineOption* FindUcciOption(const char* name) {
    for (const EngineOption& option : EngineOptions)
        if (option.ucciName && SameWordIgnoringCase(name, option.ucciName)) return &option;
    return nullptr;
}

const EngineOption* FindUciOption(const char* name) {
    for (const EngineOption& option : EngineOptions) {
        if (option.uciName && SameTextIgnoringCase(name, option.uciName)) return &option;
    }
    return nullptr;
}

bool SetOptionFromText(Engine& engine, const EngineOption& option, const char* text) {
    int32_t value = 0;
    switch (option.kind) {
        case OptionCheck: {
            const CommandToken token = KeywordOf(text);
            if (token != TokenTrue && token != TokenFalse) return false;
            value = token == TokenTrue ? 1 : 0;
            break;
        }
        case OptionSpin:
            // No value: the default (0 asks the option for its own).
            if (*text != '\0' && !ReadWholeNumber(text, value)) return false;
            break;
        case OptionButton:
            break;
        case OptionCombo:
            while (option.choices[value] && !SameTextIgnoringCase(text, option.choices[value]))
                value++;
            if (!option.choices[value]) return false;
            break;
    }
    if (option.apply) option.apply(engine, value);
    return true;
}

void RunSetOption(Engine& engine, char* const* words, int count) {
    const EngineOption* option = FindUcciOption(WordAt(words, count, 1));
    if (option) SetOptionFromText(engine, *option, WordAt(words, count, 2));
}

void WriteOptionLines(LineChannel& channel) {
    for (const EngineOption& option : EngineOptions) {
        if (!option.announced) continue;
        WriteChannel(channel, "option ");
        WriteChannel(channel, option.ucciName);
        WriteChannel(channel, option.defaultValue ? " default true\n" : " default false\n");
    }
}

void WriteUciOptionLines(LineChannel& channel) {
    for (const EngineOption& option : EngineOptions) {
        if (!option.uciName) continue;
        char text[160];
        switch (option.kind) {
            case OptionCheck:
                std::snprintf(text, sizeof text, "option name %s type check default %s\n",
                              option.uciName, option.defaultValue ? "true" : "false");
                break;
            case OptionSpin:
                std::snprintf(text, sizeof text,
                              "option name %s type spin default %d min %d max %d\n", option.uciName,
                              option.defaultValue, option.minValue, option.maxValue);
                break;
            case OptionButton:
                std::snprintf(text, sizeof text, "option name %s type button\n", option.uciName);
                break;
            case OptionCombo:
                std::snprintf(text, sizeof text, "option name %s type combo default %s",
                              option.uciName, option.choices[option.defaultValue]);
                WriteChannel(channel, text);
                for (int i = 0; option.choices[i]; i++) {
                    WriteChannel(channel, " var ");
                    WriteChannel(channel, option.choices[i]);
                }
                std::snprintf(text, sizeof text, "\n");
                break;
        }
        WriteChannel(channel, text);
    }
}
