// The UCI command loop: no echo, one reply per command that asks for one.

#include <ctime>

#include "position/random.h"
#include "shell/options.h"
#include "shell/tokenizer.h"
#include "shell/uci.h"

namespace {

constexpr uint32_t ModernKeySeed = 20261208;

void WriteUciReply(Engine& engine) {
    WriteChannel(engine.channel, "id name Quillon 1.0\n");
    WriteChannel(engine.channel, "id author Orsolan\n");
    WriteUciOptionLines(engine.channel);
    WriteChannel(engine.channel, "uciok\n");
}

void RunUciPosition(Engine& engine, char* const* words, int count) {
    const CommandToken kind = KeywordOf(WordAt(words, count, 1));
    if (kind != TokenStartPos && kind != TokenFen) return;
    if (LoadUciPosition(engine, engine.game, words, count)) engine.positionSet = true;
}

}  // namespace

bool IsUciCommand(const char* line) {
    while (*line == ' ') line++;
    const char* end = line;
    while (*end != 0 && *end != ' ' && *end != '\n' && *end != '\r') end++;
    if (end - line != 3) return false;
    char word[4] = {line[0], line[1], line[2], 0};
    return KeywordOf(word) == TokenUci;
}

bool RunUciLine(Engine& engine, char* line) {
    static char* words[WordListSize];
    const int count = SplitWords(line, words, WordListSize);
    switch (KeywordOf(WordAt(words, count, 0))) {
        case TokenUci:
            WriteUciReply(engine);
            break;
        case TokenIsReady:
            WriteChannel(engine.channel, "readyok\n");
            break;
        case TokenUciNewGame:
            ResetForNewGame(engine.search);
            break;
        case TokenPosition:
            RunUciPosition(engine, words, count);
            break;
        // The short form: "fen ..." or "startpos ..." without "position".
        case TokenFen:
        case TokenStartPos:
            if (LoadUciPositionAt(engine, engine.game, words, count, 0)) engine.positionSet = true;
            break;
        case TokenGo:
            RunUciGo(engine, words, count);
            return !engine.quitting;
        case TokenSetOption:
            RunUciSetOption(engine, words, count);
            break;
        case TokenQuit:
            return false;
        default:
            // "stop" and "ponderhit" with no search, and unknown commands.
            break;
    }
    return true;
}

void ServeUci(Engine& engine) {
    engine.uci = true;
    engine.booted = true;
    // UCI front ends get the strong engine unless they ask for the original.
    engine.search.profile = ProfileModern;
    ResetForNewGame(engine.search);
    // Its hash keys are the same in every run, so that a search can be
    // repeated (fixed-node matches, bug reports); the book's choices still
    // vary from run to run. The keys are built here, before any position.
    SeedRandom(ModernKeySeed);
    PrepareEngine(engine);
    SeedRandom(uint32_t(std::time(nullptr)));
    WriteUciReply(engine);
    ServeLines(engine, RunUciLine);
}
