#include "search/search_test_support.h"

std::unique_ptr<SearchState> NewSearchState() {
    std::unique_ptr<SearchState> state(new SearchState);
    if (!InitSearchState(*state)) return nullptr;
    return state;
}

SearchOutcome SearchTo(SearchState& state, Position& pos, int depth) {
    const SearchReporter silent{nullptr, nullptr, nullptr, nullptr, nullptr};
    SearchLimits limits;
    limits.maxDepth = depth;
    const SearchAnswer answer = RunSearch(state, pos, limits, silent);
    return SearchOutcome{answer.score, answer.best};
}
