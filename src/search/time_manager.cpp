// Time management: each move gets a fortieth of the time given, once more
// for every sharp fall of the score, and less when the best move has
// settled; the plan is asked only between iterations. Within them a deadline
// ends the search: a quarter of the time given, the move time, and never
// beyond the time actually left.

#include "search/time_manager.h"

#include "search/clock.h"

namespace {

constexpr int32_t MovesToPlan = 40;
constexpr int32_t ScoreFallThatExtends = 60;
constexpr uint8_t SettledIterations = 4;
// Under a clock the search also ends itself once it has used this share of
// the time it was given, whatever the iteration.
constexpr int32_t DeadlineShare = 4;
// Kept back from the time left for the answer to reach the front end.
constexpr int32_t SafetyMargin = 50;

int32_t Saturated(int64_t value) {
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return int32_t(value);
}

// The earlier of two limits, -1 standing for none.
int32_t Earlier(int32_t a, int32_t b) {
    if (a < 0) return b;
    if (b < 0) return a;
    return a < b ? a : b;
}

}  // namespace

void StartTimeControl(TimeControl& control, int32_t total) {
    control.Allotment = total / MovesToPlan;
    control.Limit = control.Allotment;
    control.LastBestMove = 0;
    control.LastScore = 0;
    control.StableCount = 0;
}

bool ShouldStop(TimeControl& control, int32_t elapsed, uint16_t bestMove, int16_t score) {
    if (bestMove == control.LastBestMove) {
        control.StableCount++;
        if (control.StableCount >= SettledIterations && elapsed > control.Allotment / 2)
            return true;
    } else {
        control.LastBestMove = bestMove;
        control.StableCount = 1;
    }
    if (control.LastScore - score >= ScoreFallThatExtends) {
        // Many extensions of a huge allotment would pass the 32-bit range.
        control.Limit = Saturated(int64_t(control.Limit) + control.Allotment);
    }
    control.LastScore = score;
    return control.Limit <= elapsed;
}

int32_t PlanTotal(const SearchLimits& limits) {
    return Saturated(int64_t(limits.timeLeft) + limits.increment);
}

int32_t HardTimeLimit(int32_t timeLeft) {
    if (timeLeft <= 0) return 0;
    const int32_t margin = timeLeft / 2 < SafetyMargin ? timeLeft / 2 : SafetyMargin;
    return timeLeft - margin;
}

void StartSearchClock(SearchClock& clock, const SearchLimits& limits, int64_t now) {
    clock.timed = limits.timed;
    clock.planTotal = -1;
    clock.hardLimit = -1;
    if (limits.timed) {
        clock.planTotal = PlanTotal(limits);
        clock.hardLimit = HardTimeLimit(limits.timeLeft);
        StartTimeControl(clock.plan, clock.planTotal);
    }
    clock.moveTime = limits.moveTime > 0 ? limits.moveTime : 0;
    clock.deadline = -1;
    clock.pondering = limits.ponder;
    if (!limits.ponder) StartClock(clock, now);
}

void StartClock(SearchClock& clock, int64_t now) {
    clock.pondering = false;
    clock.start = now;
    int32_t deadline = clock.planTotal >= 0 ? clock.planTotal / DeadlineShare : -1;
    if (clock.moveTime > 0) deadline = Earlier(deadline, clock.moveTime);
    clock.deadline = Earlier(deadline, clock.hardLimit);
}

bool PlanEndsSearch(SearchClock& clock, Move best, int16_t score) {
    return clock.timed && !clock.pondering &&
           ShouldStop(clock.plan, ElapsedSince(clock.start), best, score);
}

void StopSearchClock(SearchClock& clock) {
    clock.pondering = false;
    clock.deadline = -1;
}

bool ShouldInterrupt(SearchState& state) {
    // A helper ends when the main thread's search has.
    if (state.helperStop && state.helperStop->load(std::memory_order_relaxed)) return true;
    const SearchReporter* reporter = state.reporter;
    if (reporter && reporter->poll) {
        switch (reporter->poll(reporter->context)) {
            case PollStop:
                return true;
            case PollPonderHit:
                if (state.clock.pondering) StartClock(state.clock, ClockMilliseconds());
                break;
            default:
                break;
        }
    }
    return state.clock.deadline >= 0 &&
           ClockMilliseconds() - state.clock.start >= state.clock.deadline;
}
