// History, success counters and killers.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "search/ordering.h"
#include "search/search.h"
#include "search/search_test_support.h"

namespace {

class SearchTablesTest : public ::testing::Test {
protected:
    const std::unique_ptr<SearchState> owned = NewSearchState();
    SearchState& state = *owned;
};

TEST_F(SearchTablesTest, HistoryAddsDepthSquaredAndHalvesOneEntry) {
    struct Case {
        uint32_t before;
        int depth;
        uint32_t after;
    };
    const Case cases[] = {
        {0, 3, 9}, {30000, 9, 30081}, {32719, 9, 16400}, {32767, 1, 16384}, {32766, 1, 32767},
    };
    const Move m = MoveCode(126, 123), other = MoveCode(123, 126);
    for (const Case& c : cases) {
        StatsOf(state.ordering, m).history = c.before;
        StatsOf(state.ordering, other).history = 32000;
        AddHistory(state.ordering, m, c.depth);
        EXPECT_EQ(StatsOf(state.ordering, m).history, c.after) << c.before << " + " << c.depth;
        EXPECT_EQ(StatsOf(state.ordering, other).history, 32000u);
    }
}

TEST_F(SearchTablesTest, SuccessRatio) {
    struct Case {
        uint32_t best, tried, ratio;
    };
    const Case cases[] = {
        {1, 1, 16384},
        {1, 4, 4096},
        {3, 10, 4915},
        {1, 16383, 1},
        {0, 5, 0},
        // Large counters do not wrap around.
        {300000, 300000, 16384},
    };
    const Move m = MoveCode(100, 101);
    for (const Case& c : cases) {
        StatsOf(state.ordering, m).best = c.best;
        StatsOf(state.ordering, m).tried = c.tried;
        EXPECT_EQ(SuccessRatio(state.ordering, m), c.ratio) << c.best << "/" << c.tried;
    }
    // Counters never reset count as fresh ones instead of dividing by zero.
    StatsOf(state.ordering, m).best = 0;
    StatsOf(state.ordering, m).tried = 0;
    EXPECT_EQ(SuccessRatio(state.ordering, m), 16384u);
}

TEST_F(SearchTablesTest, CountTriedHalvesAtTheLimit) {
    const Move a = MoveCode(40, 41), b = MoveCode(50, 51), c = MoveCode(60, 61);
    StatsOf(state.ordering, a).best = 101;
    StatsOf(state.ordering, a).tried = 16383;
    StatsOf(state.ordering, b).best = 7;
    StatsOf(state.ordering, b).tried = 16382;
    const Move searched[] = {a, b, c};
    CountTried(state.ordering, searched, 3);
    EXPECT_EQ(StatsOf(state.ordering, a).tried, 8192u);  // reached 16384: (16384 + 1) >> 1
    EXPECT_EQ(StatsOf(state.ordering, a).best, 51u);     // (101 + 1) >> 1
    EXPECT_EQ(StatsOf(state.ordering, b).tried, 16383u);
    EXPECT_EQ(StatsOf(state.ordering, b).best, 7u);
    EXPECT_EQ(StatsOf(state.ordering, c).tried, 2u);
    EXPECT_EQ(StatsOf(state.ordering, c).best, 1u);
    CountTried(state.ordering, searched + 1, 1);
    EXPECT_EQ(StatsOf(state.ordering, b).tried, 8192u);
    EXPECT_EQ(StatsOf(state.ordering, b).best, 4u);
    CountTried(state.ordering, searched, 0);
    EXPECT_EQ(StatsOf(state.ordering, a).tried, 8192u);
}

TEST_F(SearchTablesTest, UpdateKillers) {
    const MoveRecord first{126, 123, 0, 1, 55};
    const MoveRecord second{40, 53, 0, 0, -7};
    UpdateKillers(state.ordering, first, 3);
    EXPECT_EQ(state.ordering.killers[3][0].from, 126u);
    EXPECT_EQ(state.ordering.killers[3][0].to, 123u);
    EXPECT_EQ(state.ordering.killers[3][1].from, 0u);

    // The same move again, whatever its other fields: nothing changes.
    UpdateKillers(state.ordering, MoveRecord{126, 123, 9, 0, 999}, 3);
    EXPECT_EQ(state.ordering.killers[3][0].score, 55);
    EXPECT_EQ(state.ordering.killers[3][1].from, 0u);

    // A new move pushes killer 1, all five fields, down to killer 2.
    UpdateKillers(state.ordering, second, 3);
    EXPECT_EQ(state.ordering.killers[3][0].from, 40u);
    EXPECT_EQ(state.ordering.killers[3][0].to, 53u);
    EXPECT_EQ(state.ordering.killers[3][0].score, -7);
    const MoveRecord& k2 = state.ordering.killers[3][1];
    EXPECT_EQ(k2.from, 126u);
    EXPECT_EQ(k2.to, 123u);
    EXPECT_EQ(k2.captured, 0u);
    EXPECT_EQ(k2.givesCheck, 1);
    EXPECT_EQ(k2.score, 55);
    // Other plies are untouched, and plies beyond the table are ignored.
    EXPECT_EQ(state.ordering.killers[2][0].from, 0u);
    EXPECT_EQ(state.ordering.killers[4][0].from, 0u);
    const std::unique_ptr<SearchState> before = NewSearchState();
    before->ordering = state.ordering;
    UpdateKillers(state.ordering, first, MaxPly);
    UpdateKillers(state.ordering, first, 1000);
    EXPECT_EQ(std::memcmp(&before->ordering, &state.ordering, sizeof state.ordering), 0);
}

}  // namespace

namespace {

// Two different moves between board squares never share an entry, and none
// shares the entry that moves naming a square off the board fall back on.
TEST(MoveStatsIndex, EveryBoardMoveHasItsOwnEntry) {
    EnsureTables();
    std::vector<int> owner(MoveStatsCount, -1);
    const uint32_t fallback = StatsIndex(MoveCode(0, 0));
    for (uint32_t from = 0; from < BoardSquares; from++) {
        if (!SquareOnBoard[from]) continue;
        for (uint32_t to = 0; to < BoardSquares; to++) {
            if (!SquareOnBoard[to] || to == from) continue;
            const uint32_t index = StatsIndex(MoveCode(from, to));
            ASSERT_LT(index, MoveStatsCount);
            ASSERT_NE(index, fallback);
            ASSERT_EQ(owner[index], -1) << from << " " << to;
            owner[index] = int(from * 256 + to);
        }
    }
    EXPECT_EQ(StatsIndex(MoveCode(255, 255)), fallback);
}

}  // namespace
