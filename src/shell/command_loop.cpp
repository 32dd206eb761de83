// The UCCI command loop: reads a line, echoes it, carries out its command.

#include "shell/command_loop.h"

#include <cstdint>
#include <ctime>

#include "book/book.h"
#include "position/position.h"
#include "position/random.h"
#include "position/tables.h"
#include "search/search.h"
#include "shell/clock.h"
#include "shell/engine_channel.h"
#include "shell/engine_state.h"
#include "shell/go_limits.h"
#include "shell/position_words.h"
#include "shell/reports.h"
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

// The tables, then the book (its keys need them), are built once, by
// whichever command needs them first.
void PrepareEngine() {
    EnsureTables();
    EnsureBook();
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
    ReportProbe(ProbePosition);
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

// The book's score for its moves, as the reports show it.
constexpr int16_t BookScore = 1000;

// "go" step 5: a legal book move is stored in the hash table, where the
// reports find it, and answered without a search. Banned moves do not apply.
bool AnswerFromBook() {
    Move move = 0;
    if (!UseBook || !ChooseBookMove(GamePosition, move)) return false;
    const int32_t elapsed = ElapsedSince(SearchStart);
    StoreHash(GamePosition, move, BookScore, 0, BoundExact);
    ReportTime(elapsed);
    ReportDepth(0, BookScore, GamePosition);
    return true;
}

// Under a clock the search also ends itself once it has used this share of
// the time it was given, whatever the iteration.
constexpr int32_t BackstopShare = 4;

void RunGo(char* const* words, int count) {
    // 1. The tables on first use; the first "go" without a position searches
    //    the start position.
    PrepareEngine();
    if (!PositionSet) {
        LoadFen(StartFen, GamePosition);
        PositionSet = true;
    }

    // 2. Nothing learnt in one search is carried into the next.
    ResetSearchTables();

    // 3. The limits: a depth limit persists; a clock applies to this "go" only.
    GoLimits limits = ReadGoLimits(words, count, MaxDepth);
    MaxDepth = limits.maxDepth;
    TimeControlOn = limits.timed;
    if (TimeControlOn) Start(SearchClock, limits.total);

    // 4. A fresh count and clock.
    StopFlag = false;
    NodeCount = 0;
    SearchStart = ClockMilliseconds();
    StartBackstop(SearchStart, TimeControlOn ? limits.total / BackstopShare : -1);

    // 5. A book move is answered at once, without a search.
    if (!AnswerFromBook()) {
        // 6. Iterative deepening; the clock is asked only between iterations.
        RootAnswer completed = {0, 0, 0};
        const int32_t last = LastIteration(MaxDepth);
        for (int32_t d = 1; d <= last; d++) {
            RootDepth = d;
            GamePosition.Ply = 0;
            const int16_t score = SearchRoot(int8_t(d), GamePosition);
            const int32_t elapsed = ElapsedSince(SearchStart);
            // An interrupted iteration is never reported as a completed one.
            if (StopFlag) {
                ReportTime(elapsed);
                KeepRootAnswer(GamePosition, completed);
                break;
            }
            Move best = 0;
            ProbeHashMove(GamePosition, best);
            completed = RootAnswer{best, score, int8_t(d)};
            if (TimeControlOn && ShouldStop(SearchClock, elapsed, best, score)) {
                ReportTime(elapsed);
                ReportDepth(d, score, GamePosition);
                break;
            }
            ReportTime(elapsed);
            ReportDepth(d, score, GamePosition);
            if (score >= MateThreshold || score <= -MateThreshold) break;
        }
    }

    // 7. The best move, read from the hash table; the game position is left
    //    as it was. The banned list holds for one "go" only.
    ReportBestMove(GamePosition);
    StartBackstop(0, -1);
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

void ServeCommands() {
    static char line[LineBufferSize];
    for (;;) {
        if (ReadLine(EngineChannel, line)) {
            if (!RunCommandLine(line)) return;
            continue;
        }
        // A front end that has gone sends nothing more: leave without a word.
        if (AtEndOfInput(EngineChannel)) return;
        SleepMilliseconds(1);
    }
}

int RunUcci() {
    SeedRandom(uint32_t(std::time(nullptr)));
    ResetEngineState();
    Open(EngineChannel, nullptr);
    ServeCommands();
    Close(EngineChannel);
    return 0;
}
