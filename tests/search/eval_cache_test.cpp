// The evaluation cache answers exactly what the profile's evaluation
// answers: by position, by side to move, and after a slot has been taken by
// another position.

#include <gtest/gtest.h>

#include <random>

#include "eval/eval.h"
#include "eval/eval_modern.h"
#include "search/ordering.h"
#include "search/search.h"
#include "search/search_test_support.h"
#include "support/reference_rules.h"

namespace {

TEST(EvalCache, AgreesWithEvaluateAlongRandomGames) {
    const std::unique_ptr<SearchState> state = NewSearchState();
    ASSERT_TRUE(state);
    std::mt19937 rng(15);
    Position& pos = ScratchPosition();
    for (int game = 0; game < 20; game++) {
        LoadFen(StartFen, pos);
        for (int ply = 0; ply < 60; ply++) {
            const int32_t expected = Evaluate(pos);
            ASSERT_EQ(CachedEvaluate(state->evalCache, pos), expected);  // stored
            ASSERT_EQ(CachedEvaluate(state->evalCache, pos), expected);  // read back
            PlayRandomGame(pos, 1, rng);
        }
    }
}

// The modern profile's cache answers what EvaluateModern answers; a new
// game (what a change of profile starts) empties it, so that the values one
// profile left are never read by the other.
TEST(EvalCache, EachProfileReadsItsOwnEvaluation) {
    const std::unique_ptr<SearchState> state = NewSearchState();
    std::mt19937 rng(16);
    Position& pos = ScratchPosition();
    int differing = 0;
    for (int game = 0; game < 10; game++) {
        LoadFen(StartFen, pos);
        for (int ply = 0; ply < 60; ply++) {
            ASSERT_EQ(CachedEvaluate<ProfileClassic>(state->evalCache, pos), Evaluate(pos));
            // Every tenth position through a whole new game, the others
            // through the cache's own emptying.
            if (ply % 10 == 0)
                ResetForNewGame(*state);
            else
                ClearEvalCache(state->evalCache);
            ASSERT_EQ(CachedEvaluate<ProfileModern>(state->evalCache, pos), EvaluateModern(pos));
            ASSERT_EQ(CachedEvaluate<ProfileModern>(state->evalCache, pos), EvaluateModern(pos));
            ClearEvalCache(state->evalCache);
            differing += Evaluate(pos) != EvaluateModern(pos);
            PlayRandomGame(pos, 1, rng);
        }
    }
    EXPECT_GT(differing, 300);  // the test tells the two apart
}

TEST(EvalCache, SideToMoveIsPartOfTheKey) {
    const std::unique_ptr<SearchState> state = NewSearchState();
    Position& pos = ScratchPosition();
    LoadFen("4k4/9/9/9/9/9/9/4C4/9/3K5 w", pos);
    const int32_t red = CachedEvaluate(state->evalCache, pos);
    MakeNullMove(pos);
    const int32_t black = CachedEvaluate(state->evalCache, pos);
    EXPECT_EQ(black, Evaluate(pos));
    EXPECT_NE(red, black);
    UnmakeNullMove(pos);
    EXPECT_EQ(CachedEvaluate(state->evalCache, pos), red);
}

// Two keys sharing a slot: each reads its own evaluation, never the other's.
TEST(EvalCache, SlotTakenByAnotherKeyIsNotReused) {
    const std::unique_ptr<SearchState> state = NewSearchState();
    Position& a = ScratchPosition(0);
    Position& b = ScratchPosition(1);
    LoadFen(StartFen, a);
    LoadFen("4k4/9/9/9/9/9/9/4C4/9/3K5 w", b);
    // Same high half (the slot), different low half.
    a.KeyStack[a.MoveCount] = 0x1234567800000001ull;
    b.KeyStack[b.MoveCount] = 0x1234567800000002ull;
    EXPECT_EQ(CachedEvaluate(state->evalCache, a), Evaluate(a));
    EXPECT_EQ(CachedEvaluate(state->evalCache, b), Evaluate(b));
    EXPECT_EQ(CachedEvaluate(state->evalCache, a), Evaluate(a));
    ASSERT_NE(Evaluate(a), Evaluate(b));
}

TEST(EvalCache, ResetEmptiesEverySlot) {
    const std::unique_ptr<SearchState> state = NewSearchState();
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    CachedEvaluate(state->evalCache, pos);
    ResetSearchTables(*state);
    for (uint32_t i = 0; i < EvalCacheSlots; i++) ASSERT_EQ(state->evalCache.slots[i].filled, 0u);
}

}  // namespace
