// Iterative deepening: one root search per depth, the time plan asked only
// between iterations, a deadline within them, and pondering until the move
// pondered on is played.

#include "search/clock.h"
#include "search/search.h"
#include "search/threads.h"
#include "search/time_manager.h"
#include "search/transposition.h"
#include "search/tree.h"

namespace {

void Report(const SearchState& state, const IterationReport& report) {
    const SearchReporter* reporter = state.reporter;
    if (reporter && reporter->iteration) reporter->iteration(reporter->context, report);
}

bool NodesUsedUp(const SearchState& state) {
    return state.nodeLimit && state.nodes >= state.nodeLimit;
}

// A pondering search that has nothing left to search answers only once the
// move pondered on is played, or on "stop".
void WaitWhilePondering(SearchState& state) {
    const SearchReporter* reporter = state.reporter;
    if (!reporter || !reporter->poll) return;
    while (state.clock.pondering && !state.stopped) {
        if (ShouldInterrupt(state)) state.stopped = true;
        if (state.clock.pondering && reporter->idle) reporter->idle(reporter->context);
    }
}

}  // namespace

int32_t LastIteration(int32_t maxDepth) {
    return maxDepth > DeepestIteration ? DeepestIteration : maxDepth;
}

SearchAnswer RunSearch(SearchState& state, Position& pos, const SearchLimits& limits,
                       const SearchReporter& reporter) {
    // 1. Nothing learnt in one search is carried into the next.
    ResetSearchTables(state);

    // 2. The limits. A pondering search starts its clock at the ponderhit.
    state.reporter = &reporter;
    state.nodeLimit = limits.nodes;
    const int64_t start = ClockMilliseconds();
    StartSearchClock(state.clock, limits, start);
    StartHelpers(state, pos, limits);

    // 3. One iteration per depth.
    SearchAnswer answer{};
    IterationReport report{};
    const int32_t last = LastIteration(limits.maxDepth);
    for (int32_t d = 1; d <= last; d++) {
        state.rootDepth = d;
        pos.Ply = 0;
        const int16_t score = SearchRoot(state, pos, int8_t(d));
        const int32_t elapsed = ElapsedSince(start);
        // 3.1 An interrupted iteration is never reported as a completed one.
        if (state.stopped) {
            report.completed = false;
            report.depth = d;
            report.elapsed = elapsed;
            report.nodes = state.nodes;
            Report(state, report);
            break;
        }
        // 3.2 The answer of a completed iteration, and its line drawn from
        //     the table.
        Move best = 0;
        ProbeHashMove(state.hash, pos, best);
        answer.best = best;
        answer.score = score;
        answer.bound = ScoreExact;
        answer.depth = d;
        DrawPrincipalVariation(state.hash, pos, answer.pv);
        const bool outOfTime = PlanEndsSearch(state.clock, best, score);
        report = IterationReport{true, d, score, ScoreExact, elapsed, state.nodes, answer.pv};
        Report(state, report);
        // 3.3 The clock, the node limit or a mate found ends the deepening.
        if (outOfTime || NodesUsedUp(state) || score >= MateThreshold || score <= -MateThreshold)
            break;
    }
    WaitWhilePondering(state);
    FinishHelpers(state, pos, answer, start);

    // 4. Nothing is polled or reported once the search has ended. The move
    //    and the reply to ponder on are read where the last iteration left
    //    them.
    state.reporter = nullptr;
    StopSearchClock(state.clock);
    KeepRootAnswer(state.hash, pos, answer.best, answer.score, answer.depth);
    Move best = 0, ponder = 0;
    DrawBestMove(state.hash, pos, best, ponder);
    answer.best = best;
    answer.ponder = ponder;
    return answer;
}
