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

// The moves the time left must last when the front end does not say.
constexpr int32_t ModernMovesToPlan = 30;

// The soft limit: the time left shared among the moves to come, most of the
// increment added; never more than half the time left (all of it, less the
// margin, before a time control's last move).
void StartModernPlan(SearchClock& clock, const SearchLimits& limits) {
    const int32_t movesToGo = limits.movesToGo > 0 ? limits.movesToGo : ModernMovesToPlan;
    const int64_t soft = int64_t(limits.timeLeft > 0 ? limits.timeLeft : 0) / movesToGo +
                         int64_t(limits.increment) * 3 / 4;
    const int64_t cap = movesToGo == 1 ? int64_t(clock.hardLimit) * 9 / 10 : clock.hardLimit / 2;
    clock.softLimit = Saturated(soft < cap ? soft : cap);
    clock.lastBest = 0;
    clock.lastScore = 0;
    clock.settled = 0;
}

// Within an iteration the search ends at five times the soft limit, and
// never beyond the hard limit.
int32_t ModernDeadline(const SearchClock& clock) {
    const int64_t longest = int64_t(clock.softLimit) * 5;
    return Saturated(longest < clock.hardLimit ? longest : clock.hardLimit);
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

void StartSearchClock(SearchClock& clock, const SearchLimits& limits, int64_t now,
                      SearchProfile profile) {
    clock.timed = limits.timed;
    clock.planTotal = -1;
    clock.hardLimit = -1;
    clock.modern = profile == ProfileModern;
    if (limits.timed) {
        clock.planTotal = PlanTotal(limits);
        clock.hardLimit = HardTimeLimit(limits.timeLeft);
        StartTimeControl(clock.plan, clock.planTotal);
        if (clock.modern) StartModernPlan(clock, limits);
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
    if (clock.modern && clock.planTotal >= 0) deadline = ModernDeadline(clock);
    if (clock.moveTime > 0) deadline = Earlier(deadline, clock.moveTime);
    clock.deadline = Earlier(deadline, clock.hardLimit);
}

bool PlanEndsSearch(SearchClock& clock, Move best, int16_t score, double bestShare) {
    if (!clock.timed || clock.pondering) return false;
    const int32_t elapsed = ElapsedSince(clock.start);
    if (!clock.modern) return ShouldStop(clock.plan, elapsed, best, score);
    // Settled: less time; a new best move or a falling score: more; a best
    // move that took most of the nodes had little competition.
    clock.settled = best == clock.lastBest ? uint8_t(clock.settled + (clock.settled < 255)) : 0;
    double scale = clock.settled >= 3   ? 0.6
                   : clock.settled == 2 ? 0.75
                   : clock.settled == 1 ? 0.9
                                        : 1.3;
    if (clock.lastScore - score >= ScoreFallThatExtends / 2) scale *= 1.5;
    scale *= 1.5 - (bestShare > 1 ? 1 : bestShare < 0 ? 0 : bestShare) * 0.7;
    clock.lastBest = best;
    clock.lastScore = score;
    return elapsed >= clock.softLimit * scale;
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
