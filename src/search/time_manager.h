#pragma once
// Time management (time_manager.cpp), in one place: the plan asked between
// iterations, the hard deadline and the stop hook asked within them.

#include "search/search.h"

// The plan: `total` is the time left plus the increment, in milliseconds.
void StartTimeControl(TimeControl& control, int32_t total);
// After an iteration that ended `elapsed` ms after the clock's start with
// this best move (0 for none) and score: true when no further iteration may
// start.
bool ShouldStop(TimeControl& control, int32_t elapsed, uint16_t bestMove, int16_t score);

// What the plan is given: the time left plus the increment, held within the
// 32-bit range.
int32_t PlanTotal(const SearchLimits& limits);
// The ms a timed move may never pass: the time left less a safety margin,
// and never below 0.
int32_t HardTimeLimit(int32_t timeLeft);

// Sets the clock up from the limits; it starts now unless the search ponders.
// The modern plan honours moves-to-go and keeps its soft and hard limits.
void StartSearchClock(SearchClock& clock, const SearchLimits& limits, int64_t now,
                      SearchProfile profile = ProfileClassic);
// The clock counts from `now` (the start of "go", or the ponderhit): the plan
// from here, and the deadline, the earliest of a share of the time given, the
// move time and the hard limit.
void StartClock(SearchClock& clock, int64_t now);
// After a completed iteration: the plan says no further iteration may start.
// `bestShare` is the share (0..1) of the iteration's nodes its best move took.
bool PlanEndsSearch(SearchClock& clock, Move best, int16_t score, double bestShare = 0);
// Nothing is timed once the search has ended.
void StopSearchClock(SearchClock& clock);

// Asks the stop hook, then the deadline: true when the search must end now.
// A ponderhit starts the clock. Called by the alpha-beta search at its polling
// nodes and by the deepening loop while it waits on a pondering search.
bool ShouldInterrupt(SearchState& state);
