// The UCCI command loop: reads a line, echoes it, carries out its command.
// A first line "uci" hands the session to the UCI loop instead.

#include <cstdint>
#include <ctime>

#include "book/book.h"
#include "position/position.h"
#include "position/random.h"
#include "position/tables.h"
#include "shell/engine.h"
#include "shell/go_limits.h"
#include "shell/options.h"
#include "shell/position_words.h"
#include "shell/reports.h"
#include "shell/shell.h"
#include "shell/tokenizer.h"
#include "shell/uci.h"

namespace {

const char* const UcciIdentity[] = {
    "id name Quillon 1.0\n",
    "id copyright Telvane\n",
    "id author Orsolan\n",
    "id user Wintermeet\n",
};

void RunUcciCommand(Engine& engine) {
    if (engine.booted) return;
    PrepareEngine(engine);
    for (const char* text : UcciIdentity) WriteChannel(engine.channel, text);
    WriteOptionLines(engine.channel);
    WriteChannel(engine.channel, "ucciok\n");
    engine.booted = true;
}

// "fen" or "startpos" after the command's name.
bool NamesAPosition(char* const* words, int count) {
    const CommandToken token = KeywordOf(WordAt(words, count, 1));
    return token == TokenFen || token == TokenStartPos;
}

void RunPosition(Engine& engine, char* const* words, int count) {
    if (!engine.booted || !NamesAPosition(words, count)) return;
    LoadPositionCommand(engine.game, words, count);
    engine.positionSet = true;
}

void RunProbe(Engine& engine, char* const* words, int count) {
    PrepareEngine(engine);
    if (NamesAPosition(words, count)) {
        LoadPositionCommand(engine.probe, words, count);
        engine.probeSet = true;
    } else if (!engine.probeSet) {
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
    for (int32_t i = 0; i < banned; i++) bans.moves[i] = MoveOf(ParseMoveString(words[i + 1]));
    bans.count = banned;
}

}  // namespace

bool InitEngine(Engine& engine) {
    OpenOnStreams(engine.channel, NoStream, NoStream);
    engine.channel.InputEnded = true;
    engine.booted = false;
    engine.prepared = false;
    engine.positionSet = false;
    engine.probeSet = false;
    engine.maxDepth = StartDepthLimit;
    engine.quitting = false;
    engine.uci = false;
    if (!InitSearchState(engine.search)) return false;
    ApplyDefaultOptions(engine);
    return true;
}

void PrepareEngine(Engine& engine) {
    if (engine.prepared) return;
    EnsureTables();
    LoadBook(engine.book);
    engine.prepared = true;
}

void WriteMessage(Engine& engine, const char* text) {
    WriteChannel(engine.channel, engine.uci ? "info string " : "info ");
    WriteChannel(engine.channel, text);
    WriteChannel(engine.channel, "\n");
}

void LoadPositionCommand(Position& pos, char* const* words, int count) {
    if (KeywordOf(WordAt(words, count, 1)) != TokenStartPos) {
        LoadPositionFromWords(pos, words, count);
        return;
    }
    LoadFen(StartFen, pos);
    if (KeywordOf(WordAt(words, count, 2)) != TokenMoves) return;
    for (int i = 3; i < count; i++) {
        MoveRecord record = ParseMoveString(words[i]);
        PlayGameMove(pos, record);
    }
}

void EchoWords(LineChannel& channel, char* const* words, int count) {
    WriteChannel(channel, "debug info=[");
    for (int i = 0; i < count; i++) {
        if (i > 0) WriteChannel(channel, " ");
        WriteChannel(channel, words[i]);
    }
    WriteChannel(channel, "]\n");
}

bool RunCommandLine(Engine& engine, char* line) {
    static char* words[WordListSize];
    int count = SplitWords(line, words, WordListSize);
    EchoWords(engine.channel, words, count);
    switch (KeywordOf(WordAt(words, count, 0))) {
        case TokenUcci:
            RunUcciCommand(engine);
            break;
        case TokenPosition:
            RunPosition(engine, words, count);
            break;
        case TokenGo:
            RunGo(engine, words, count);
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

void ServeCommands(Engine& engine) {
    static char line[LineBufferSize];
    for (;;) {
        if (ReadLine(engine.channel, line)) {
            if (!RunCommandLine(engine, line)) return;
            continue;
        }
        // A front end that has gone sends nothing more: leave without a word.
        if (AtEndOfInput(engine.channel)) return;
        SleepMilliseconds(1);
    }
}

// The first line decides: "uci" turns the session to UCI for good; any other
// line is a UCCI command, and UCCI goes on.
void ServeSession(Engine& engine) {
    static char line[LineBufferSize];
    while (!ReadLine(engine.channel, line)) {
        if (AtEndOfInput(engine.channel)) return;
        SleepMilliseconds(1);
    }
    if (IsUciCommand(line)) {
        ServeUci(engine);
        return;
    }
    if (RunCommandLine(engine, line)) ServeCommands(engine);
}

int RunUcci() {
    SeedRandom(uint32_t(std::time(nullptr)));
    // Far too large for the stack; one per run.
    static Engine engine;
    if (!InitEngine(engine)) return 1;
    OpenChannel(engine.channel);
    ServeSession(engine);
    CloseChannel(engine.channel);
    return 0;
}
