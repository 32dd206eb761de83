// The UCCI command loop: reads a line, echoes it, carries out its command.

#include "shell/command_loop.h"

#include <cstdint>
#include <ctime>

#include "position/position.h"
#include "position/random.h"
#include "position/tables.h"
#include "shell/clock.h"
#include "shell/engine_channel.h"
#include "shell/engine_state.h"
#include "shell/go_limits.h"
#include "shell/position_words.h"
#include "shell/shell.h"
#include "shell/time_control.h"
#include "shell/tokenizer.h"

namespace {

uint8_t Booted = 0;        // "ucci" (or a "go") has run
bool PositionSet = false;  // the game position has been loaded at least once
int32_t MaxDepth = StartDepthLimit;
bool TimeControlOn = false;
TimeControl SearchClock;
int64_t SearchStart = 0;  // clock reading at the start of the current "go"
Position GamePosition;    // set by "position", searched by "go"
Position ProbePosition;   // used by "probe" only, so that probing never disturbs the game
bool ProbePositionSet = false;

const char* const UcciReply[] = {
    "id name Quillon 1.0\n",
    "id copyright Telvane\n",
    "id author Orsolan\n",
    "id user Wintermeet\n",
    "option usemillisec default true\n",
    "option check_in_quiescence default true\n",
    "option use_history_pruning default true\n",
    "ucciok\n",
};

// The tables are built once, by whichever command needs them first.
void PrepareEngine() {
    EnsureTables();
}

void RunUcciCommand() {
    if (Booted) return;
    PrepareEngine();
    for (const char* text : UcciReply) WriteOut(text);
    Booted = 1;
}

void RunSetOption(char* const* words, int count) {
    CommandToken value = KeywordOf(WordAt(words, count, 2));
    if (value != TokenTrue && value != TokenFalse) return;
    bool on = value == TokenTrue;
    switch (KeywordOf(WordAt(words, count, 1))) {
        case TokenUseBook:
            UseBook = on;
            break;
        case TokenUseHistoryPruning:
            HistoryPruning = on;
            HistoryReduction = on;
            break;
        case TokenCheckInQuiescence:
            CheckInQuiescence = on;
            break;
        default:
            break;
    }
}

void RunPosition(char* const* words, int count) {
    if (!Booted || KeywordOf(WordAt(words, count, 1)) != TokenFen) return;
    LoadPositionFromWords(GamePosition, words, count);
    PositionSet = true;
}

void RunProbe(char* const* words, int count) {
    PrepareEngine();
    if (KeywordOf(WordAt(words, count, 1)) == TokenFen) {
        LoadPositionFromWords(ProbePosition, words, count);
        ProbePositionSet = true;
    } else if (!ProbePositionSet) {
        LoadFen(StartFen, ProbePosition);
        ProbePositionSet = true;
    }
    // ReportProbe on the probe position goes here.
}

void RunBanMoves(char* const* words, int count) {
    // Moves beyond the list's room are ignored.
    int32_t banned = count - 1;
    if (banned > BanListCapacity) banned = BanListCapacity;
    for (int32_t i = 0; i < banned; i++) {
        BanList.moves[i] = MoveOf(ParseMoveString(words[i + 1]));
    }
    BanList.count = banned;
}

void RunGo(char* const* words, int count) {
    // 1. The tables on first use; the first "go" without a position searches
    //    the start position.
    PrepareEngine();
    if (!PositionSet) {
        LoadFen(StartFen, GamePosition);
        PositionSet = true;
    }

    // 2. Nothing learnt in one search is carried into the next:
    //    ResetSearchTables() belongs here.

    // 3. The limits: a depth limit persists; a clock applies to this "go" only.
    GoLimits limits = ReadGoLimits(words, count, MaxDepth);
    MaxDepth = limits.maxDepth;
    TimeControlOn = limits.timed;
    if (TimeControlOn) Start(SearchClock, limits.total);

    // 4. A fresh count and clock.
    StopFlag = false;
    NodeCount = 0;
    SearchStart = ClockMilliseconds();

    // 5. The book, when UseBook: ProbeBook for the current key; a hit is stored
    //    with StoreHash (score 1000, depth 0, exact), reported with ReportTime
    //    and ReportDepth (depth 0), and step 6 is skipped.

    // 6. Iterative deepening, d = 1 .. LastIteration(MaxDepth): RootDepth = d,
    //    Ply = 0, score = SearchRoot; elapsed = ElapsedSince(SearchStart) and
    //    the move from ProbeHashMove; when timed and ShouldStop(SearchClock,
    //    ...): ReportTime, ReportDepth, leave; on StopFlag: ReportTime only,
    //    leave; otherwise ReportTime and ReportDepth; leave on a mate score.

    // 7. The best move from the hash table: ReportBestMove belongs here; with
    //    no search yet there is none. The banned list holds for one "go" only.
    WriteOut("nobestmove\n");
    TimeControlOn = false;
    BanList.count = 0;
    Booted = 1;
}

}  // namespace

const Position& CurrentGamePosition() {
    return GamePosition;
}
const Position& CurrentProbePosition() {
    return ProbePosition;
}

void ResetEngineState() {
    Booted = 0;
    PositionSet = false;
    ProbePositionSet = false;
    MaxDepth = StartDepthLimit;
    TimeControlOn = false;
    StopFlag = false;
    NodeCount = 0;
    RootDepth = 0;
    BanList.count = 0;
    CheckInQuiescence = true;
    HistoryPruning = true;
    HistoryReduction = true;
    UseBook = true;
}

bool RunCommandLine(char* line) {
    static char* words[WordListSize];
    int count = SplitWords(line, words, WordListSize);
    EchoWords(words, count);
    switch (KeywordOf(WordAt(words, count, 0))) {
        case TokenUcci:
            RunUcciCommand();
            break;
        case TokenPosition:
            RunPosition(words, count);
            break;
        case TokenGo:
            RunGo(words, count);
            break;
        case TokenProbe:
            RunProbe(words, count);
            break;
        case TokenSetOption:
            RunSetOption(words, count);
            break;
        case TokenBanMoves:
            RunBanMoves(words, count);
            break;
        case TokenStop:
            WriteOut("Engine is not running.\n");
            break;
        case TokenQuit:
            if (Booted) {
                WriteOut("bye\n");
                return false;
            }
            WriteOut("Engine do not boot\n");
            break;
        default:
            break;
    }
    return true;
}

int RunUcci() {
    SeedRandom(uint32_t(std::time(nullptr)));
    ResetEngineState();
    Open(EngineChannel, nullptr);
    static char line[LineBufferSize];
    for (;;) {
        if (ReadLine(EngineChannel, line)) {
            if (!RunCommandLine(line)) break;
            continue;
        }
        // A front end that has gone sends nothing more: leave without a word.
        if (AtEndOfInput(EngineChannel)) break;
        SleepMilliseconds(1);
    }
    Close(EngineChannel);
    return 0;
}
