// Where the debug checks are on, the search stops at the first value or
// stack index that the tables and stacks cannot hold, rather than storing
// it or writing past the end.

#include <gtest/gtest.h>

#include "search/search.h"
#include "search/search_test_support.h"
#include "search/tree.h"
#include "support/reference_rules.h"

namespace {

#ifdef QUILLON_CHECKS_ON

TEST(SearchChecksDeathTest, HashStoresOnlyWhatItCanReadBack) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    struct Case {
        int16_t value;
        uint8_t bound;
    };
    // An interrupted search's score, a mate counted past the root, a bound
    // that reads as an empty slot.
    const Case cases[] = {
        {InterruptedScore, BoundExact},
        {int16_t(MateScore + 1), BoundLower},
        {int16_t(-MateScore - 1), BoundUpper},
        {0, BoundNone},
        {0, 4},
    };
    for (const Case& c : cases)
        EXPECT_DEATH(StoreHash(state.hash, pos, 0, c.value, 3, c.bound), "check failed")
            << c.value << " " << int(c.bound);
    StoreHash(state.hash, pos, 0, MateScore, 3, BoundExact);
    StoreHash(state.hash, pos, 0, int16_t(-MateScore), 4, BoundExact);
}

TEST(SearchChecksDeathTest, SearchesNeedRoomForEveryPlyAhead) {
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    pos.Ply = MaxPly + 1;
    EXPECT_DEATH(SearchAlphaBeta(state, pos, 2, -MateScore, MateScore, 1), "pos.Ply <= MaxPly");
    EXPECT_DEATH(Quiesce(state, pos, -MateScore, MateScore, 0), "pos.Ply <= MaxPly");
    // A root this deep in the game's stacks would overrun them before MaxPly.
    pos.Ply = 0;
    pos.MoveCount = CheckersStackSize - MaxPly;
    pos.KeyStack[pos.MoveCount] = pos.KeyStack[0];
    EXPECT_DEATH(SearchRoot(state, pos, 3), "CheckersStackSize");
    pos.MoveCount = 0;
}

#endif

}  // namespace
