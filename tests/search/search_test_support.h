#pragma once
// Fresh search state for one test, and searches run the way "go" runs them.

#include <memory>

#include "search/search.h"

// Every option on, nothing learnt, an empty table of the default size (on the
// heap: the state is megabytes large).
std::unique_ptr<SearchState> NewSearchState();

struct SearchOutcome {
    int16_t score;
    Move best;
};

// RunSearch to `depth` (or the first mate score), nothing polled or reported.
SearchOutcome SearchTo(SearchState& state, Position& pos, int depth);
