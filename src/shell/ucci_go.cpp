// UCCI's "go": a book move at once, or a search of the game position
// reported in "info" lines, then the best move.

#include "search/clock.h"
#include "shell/engine.h"
#include "shell/ucci.h"

namespace {

PollAnswer PollHook(void* context) {
    return PollDuringSearch(*static_cast<Engine*>(context));
}

void IdleHook(void*) {
    SleepMilliseconds(1);
}

void ReportIteration(void* context, const IterationReport& report) {
    LineChannel& channel = static_cast<Engine*>(context)->channel;
    ReportTime(channel, report.elapsed, report.nodes);
    if (report.completed) ReportDepth(channel, report.depth, report.score, report.pv);
}

// A legal book move is answered without a search. Banned moves do not apply.
bool AnswerFromBook(Engine& engine, int64_t start, SearchAnswer& answer) {
    if (!ChooseBookAnswer(engine, answer)) return false;
    // "probe" reads the table: after a book move it finds the move there as
    // the root's exact entry, as after a search.
    ResetSearchTables(engine.search);
    StoreHash(engine.search.hash, engine.game, answer.best, answer.score, 0, BoundExact);
    ReportTime(engine.channel, ElapsedSince(start), 0);
    ReportDepth(engine.channel, 0, answer.score, answer.pv);
    return true;
}

}  // namespace

void RunUcciGo(Engine& engine, char* const* words, int count) {
    // 1. The tables on first use; the first "go" without a position searches
    //    the start position.
    PrepareEngine(engine);
    Position& game = GamePosition(engine);
    const int64_t start = ClockMilliseconds();

    // 2. The limits: a depth limit persists; a clock applies to this "go" only.
    const SearchLimits limits = ReadUcciGoLimits(words, count, engine.maxDepth, engine.useMillisec);
    engine.maxDepth = limits.maxDepth;

    // 3. A book move is answered at once (when pondering, once the move
    //    pondered on is played, or on "stop"); otherwise the search, reading
    //    the input at its polling nodes.
    SearchAnswer answer;
    engine.infinite = false;
    if (AnswerFromBook(engine, start, answer)) {
        while (limits.ponder && PollDuringSearch(engine) == PollContinue) SleepMilliseconds(1);
    } else {
        const SearchReporter reporter{&engine, PollHook, ReportIteration, IdleHook, nullptr};
        answer = RunSearch(engine.search, game, limits, reporter);
    }

    // 4. The best move; the game position is left as it was. The banned list
    //    holds for one "go" only.
    ReportBestMove(engine.channel, answer);
    engine.search.bans.count = 0;
    engine.booted = true;
}
