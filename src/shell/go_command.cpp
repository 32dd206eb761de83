// "go": a book move at once, or a search of the game position reported in
// UCCI lines, then the best move read back from the hash table.

#include "book/book.h"
#include "search/clock.h"
#include "shell/engine.h"
#include "shell/go_limits.h"
#include "shell/reports.h"
#include "shell/tokenizer.h"

namespace {

// The book's score for its moves, as the reports show it.
constexpr int16_t BookScore = 1000;

PollAnswer PollHook(void* context) {
    return PollDuringSearch(*static_cast<Engine*>(context));
}

void IdleHook(void*) {
    SleepMilliseconds(1);
}

void ReportIteration(void* context, const IterationReport& report, const SearchState& state,
                     Position& pos) {
    LineChannel& channel = static_cast<Engine*>(context)->channel;
    ReportTime(channel, report.elapsed, report.nodes);
    if (report.completed) ReportDepth(channel, state.hash, report.depth, report.score, pos);
}

// A legal book move is stored in the hash table, where the reports find it,
// and answered without a search. Banned moves do not apply.
bool AnswerFromBook(Engine& engine, int64_t start) {
    Move move = 0;
    if (!engine.useBook || !ChooseBookMove(engine.book, engine.game, move)) return false;
    ResetSearchTables(engine.search);
    StoreHash(engine.search.hash, engine.game, move, BookScore, 0, BoundExact);
    ReportTime(engine.channel, ElapsedSince(start), 0);
    ReportDepth(engine.channel, engine.search.hash, 0, BookScore, engine.game);
    return true;
}

}  // namespace

PollAnswer PollDuringSearch(Engine& engine) {
    static char line[LineBufferSize];
    static char* words[WordListSize];
    if (!ReadLine(engine.channel, line))
        return AtEndOfInput(engine.channel) ? PollStop : PollContinue;
    const int count = SplitWords(line, words, WordListSize);
    EchoWords(engine.channel, words, count);
    return AnswerDuringSearch(engine, KeywordOf(WordAt(words, count, 0)));
}

PollAnswer AnswerDuringSearch(Engine& engine, CommandToken command) {
    switch (command) {
        case TokenStop:
            return PollStop;
        case TokenQuit:
            engine.quitting = true;
            return PollStop;
        case TokenIsReady:
            WriteChannel(engine.channel, "readyok\n");
            return PollContinue;
        case TokenPonderHit:
            return PollPonderHit;
        default:
            return PollContinue;
    }
}

void RunGo(Engine& engine, char* const* words, int count) {
    // 1. The tables on first use; the first "go" without a position searches
    //    the start position.
    PrepareEngine(engine);
    if (!engine.positionSet) {
        LoadFen(StartFen, engine.game);
        engine.positionSet = true;
    }
    const int64_t start = ClockMilliseconds();

    // 2. The limits: a depth limit persists; a clock applies to this "go" only.
    const SearchLimits limits = ReadGoLimits(words, count, engine.maxDepth);
    engine.maxDepth = limits.maxDepth;

    // 3. A book move is answered at once (when pondering, once the move
    //    pondered on is played, or on "stop"); otherwise the search, reading
    //    the input at its polling nodes.
    if (AnswerFromBook(engine, start)) {
        while (limits.ponder && PollDuringSearch(engine) == PollContinue) SleepMilliseconds(1);
    } else {
        const SearchReporter reporter{&engine, PollHook, ReportIteration, IdleHook};
        RunSearch(engine.search, engine.game, limits, reporter);
    }

    // 4. The best move, read from the hash table; the game position is left
    //    as it was. The banned list holds for one "go" only.
    ReportBestMove(engine.channel, engine.search.hash, engine.game);
    engine.search.bans.count = 0;
    engine.booted = true;
}
