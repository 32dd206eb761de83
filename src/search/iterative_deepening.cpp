// Iterative deepening: one root search per depth, the clock asked only
// between iterations, and a backstop within them.

#include "search/clock.h"
#include "search/search.h"
#include "search/time_control.h"

namespace {

// Under a clock the search also ends itself once it has used this share of
// the time it was given, whatever the iteration.
constexpr int32_t BackstopShare = 4;

void Report(const SearchState& state, Position& pos, const IterationReport& report) {
    const SearchReporter* reporter = state.reporter;
    if (reporter && reporter->iteration) reporter->iteration(reporter->context, report, state, pos);
}

}  // namespace

int32_t LastIteration(int32_t maxDepth) {
    return maxDepth > DeepestIteration ? DeepestIteration : maxDepth;
}

RootAnswer RunSearch(SearchState& state, Position& pos, const SearchLimits& limits,
                     const SearchReporter& reporter) {
    // 1. Nothing learnt in one search is carried into the next.
    ResetSearchTables(state);

    // 2. A fresh clock; the backstop is armed under a clock only.
    state.reporter = &reporter;
    const int64_t start = ClockMilliseconds();
    TimeControl clock;
    if (limits.timed) StartTimeControl(clock, limits.total);
    state.backstopStart = start;
    state.backstopLimit = limits.timed ? limits.total / BackstopShare : -1;

    // 3. One iteration per depth.
    RootAnswer completed = {0, 0, 0};
    const int32_t last = LastIteration(limits.maxDepth);
    for (int32_t d = 1; d <= last; d++) {
        state.rootDepth = d;
        pos.Ply = 0;
        const int16_t score = SearchRoot(state, pos, int8_t(d));
        const int32_t elapsed = ElapsedSince(start);
        // 3.1 An interrupted iteration is never reported as a completed one.
        if (state.stopped) {
            Report(state, pos, IterationReport{false, d, 0, elapsed, state.nodes});
            KeepRootAnswer(state.hash, pos, completed);
            break;
        }
        // 3.2 The answer of a completed iteration.
        Move best = 0;
        ProbeHashMove(state.hash, pos, best);
        completed = RootAnswer{best, score, int8_t(d)};
        const bool outOfTime = limits.timed && ShouldStop(clock, elapsed, best, score);
        Report(state, pos, IterationReport{true, d, score, elapsed, state.nodes});
        // 3.3 The clock, or a mate found, ends the deepening.
        if (outOfTime || score >= MateThreshold || score <= -MateThreshold) break;
    }

    // 4. Nothing is polled or reported once the search has ended.
    state.reporter = nullptr;
    state.backstopLimit = -1;
    return completed;
}
