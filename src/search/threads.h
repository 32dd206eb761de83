#pragma once
// The helper threads as the deepening loop meets them (threads.cpp). With one
// thread both calls do nothing.

#include "search/search.h"

// Once the main thread's tables are reset: every helper searches the
// position, with the limits' depth and node limit, until the main one ends.
void StartHelpers(SearchState& state, const Position& pos, const SearchLimits& limits);
// Once the main thread's search has ended: the helpers stop, and the answer
// becomes the one the rule of threads.cpp picks, kept as the root's entry.
// A helper's answer is reported as one more completed iteration.
void FinishHelpers(SearchState& state, Position& pos, SearchAnswer& answer, int64_t start);

// A thread's last completed iteration; depth 0: none.
struct ThreadAnswer {
    Move move;
    int16_t score;
    int32_t depth;
};
// The rule of threads.cpp: true when a helper's `candidate` replaces the
// answer `held` so far.
bool PreferredAnswer(const ThreadAnswer& candidate, const ThreadAnswer& held);
