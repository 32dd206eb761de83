// The UCCI command loop: each line echoed, then its command carried out.

#include <cstdint>

#include "position/position.h"
#include "shell/engine.h"
#include "shell/options.h"
#include "shell/tokenizer.h"
#include "shell/ucci.h"

namespace {

const char* const UcciIdentity[] = {
    "id name Quillon 1.0\n",
    "id copyright Telvane\n",
    "id author Orsolan\n",
    "id user Wintermeet\n",
};

// The first "ucci" gets the whole reply, even after a "go" has booted the
// engine; later ones get nothing.
void RunUcciCommand(Engine& engine) {
    if (engine.introduced) return;
    PrepareEngine(engine);
    for (const char* text : UcciIdentity) WriteChannel(engine.channel, text);
    WriteOptionLines(engine.channel);
    WriteChannel(engine.channel, "ucciok\n");
    engine.booted = true;
    engine.introduced = true;
}

// "fen" or "startpos" after the command's name.
bool NamesAPosition(char* const* words, int count) {
    const CommandToken token = KeywordOf(WordAt(words, count, 1));
    return token == TokenFen || token == TokenStartPos;
}

void RunPosition(Engine& engine, char* const* words, int count) {
    if (!engine.booted || !NamesAPosition(words, count)) return;
    if (LoadUcciPosition(engine, engine.game, words, count)) engine.positionSet = true;
}

void RunProbe(Engine& engine, char* const* words, int count) {
    PrepareEngine(engine);
    if (NamesAPosition(words, count)) {
        if (LoadUcciPosition(engine, engine.probe, words, count)) engine.probeSet = true;
    }
    if (!engine.probeSet) {
        LoadFen(StartFen, engine.probe);
        engine.probeSet = true;
    }
    ReportProbe(engine.channel, engine.search, engine.probe);
}

void RunBanMoves(Engine& engine, char* const* words, int count) {
    // Moves beyond the list's room are ignored.
    BanList& bans = engine.search.bans;
    int32_t banned = count - 1;
    if (banned > BanListCapacity) banned = BanListCapacity;
    for (int32_t i = 0; i < banned; i++) {
        MoveTextFaults faults;
        bans.moves[i] = MoveOf(ParseMoveString(words[i + 1], &faults));
        WriteMoveTextFaults(engine, faults);
    }
    bans.count = banned;
}

}  // namespace

bool RunUcciLine(Engine& engine, char* line) {
    static char* words[WordListSize];
    const int count = SplitWords(line, words, WordListSize);
    EchoWords(engine.channel, words, count);
    switch (KeywordOf(WordAt(words, count, 0))) {
        case TokenUcci:
            RunUcciCommand(engine);
            break;
        case TokenPosition:
            RunPosition(engine, words, count);
            break;
        case TokenGo:
            RunUcciGo(engine, words, count);
            // A "quit" read during the search ends the engine once it has answered.
            if (engine.quitting) {
                WriteChannel(engine.channel, "bye\n");
                return false;
            }
            break;
        case TokenIsReady:
            WriteChannel(engine.channel, "readyok\n");
            break;
        case TokenProbe:
            RunProbe(engine, words, count);
            break;
        case TokenSetOption:
            RunSetOption(engine, words, count);
            break;
        case TokenBanMoves:
            RunBanMoves(engine, words, count);
            break;
        case TokenStop:
            WriteChannel(engine.channel, "Engine is not running.\n");
            break;
        case TokenQuit:
            if (engine.booted) {
                WriteChannel(engine.channel, "bye\n");
                return false;
            }
            WriteChannel(engine.channel, "Engine do not boot\n");
            break;
        default:
            break;
    }
    return true;
}
