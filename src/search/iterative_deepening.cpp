// Iterative deepening: one root search per depth, the clock asked only
// between iterations, a backstop within them, and pondering until the move
// pondered on is played.

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

// The time control counts from `now`; the backstop is armed under a clock or
// a move time, the earlier of the two.
void StartClock(SearchState& state, int64_t now) {
    state.pondering = false;
    state.clockStart = now;
    state.backstopStart = now;
    state.backstopLimit = state.clockTotal >= 0 ? state.clockTotal / BackstopShare : -1;
    if (state.moveTime > 0 && (state.backstopLimit < 0 || state.moveTime < state.backstopLimit))
        state.backstopLimit = state.moveTime;
}

bool NodesUsedUp(const SearchState& state) {
    return state.nodeLimit && state.nodes >= state.nodeLimit;
}

// A pondering search that has nothing left to search answers only once the
// move pondered on is played, or on "stop".
void WaitWhilePondering(SearchState& state) {
    const SearchReporter* reporter = state.reporter;
    if (!reporter || !reporter->poll) return;
    while (state.pondering && !state.stopped) {
        if (ShouldInterrupt(state)) state.stopped = true;
        if (state.pondering && reporter->idle) reporter->idle(reporter->context);
    }
}

}  // namespace

int32_t LastIteration(int32_t maxDepth) {
    return maxDepth > DeepestIteration ? DeepestIteration : maxDepth;
}

bool ShouldInterrupt(SearchState& state) {
    const SearchReporter* reporter = state.reporter;
    if (reporter && reporter->poll) {
        switch (reporter->poll(reporter->context)) {
            case PollStop:
                return true;
            case PollPonderHit:
                if (state.pondering) StartClock(state, ClockMilliseconds());
                break;
            default:
                break;
        }
    }
    return state.backstopLimit >= 0 &&
           ClockMilliseconds() - state.backstopStart >= state.backstopLimit;
}

RootAnswer RunSearch(SearchState& state, Position& pos, const SearchLimits& limits,
                     const SearchReporter& reporter) {
    // 1. Nothing learnt in one search is carried into the next.
    ResetSearchTables(state);

    // 2. The limits. A pondering search starts its clock at the ponderhit.
    state.reporter = &reporter;
    state.nodeLimit = limits.nodes;
    state.clockTotal = limits.timed ? limits.total : -1;
    state.moveTime = limits.moveTime > 0 ? limits.moveTime : 0;
    const int64_t start = ClockMilliseconds();
    TimeControl clock;
    if (limits.timed) StartTimeControl(clock, limits.total);
    state.pondering = limits.ponder;
    state.backstopLimit = -1;
    if (!limits.ponder) StartClock(state, start);

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
        const bool outOfTime = limits.timed && !state.pondering &&
                               ShouldStop(clock, ElapsedSince(state.clockStart), best, score);
        Report(state, pos, IterationReport{true, d, score, elapsed, state.nodes});
        // 3.3 The clock, the node limit or a mate found ends the deepening.
        if (outOfTime || NodesUsedUp(state) || score >= MateThreshold || score <= -MateThreshold)
            break;
    }
    WaitWhilePondering(state);

    // 4. Nothing is polled or reported once the search has ended.
    state.reporter = nullptr;
    state.pondering = false;
    state.backstopLimit = -1;
    return completed;
}
