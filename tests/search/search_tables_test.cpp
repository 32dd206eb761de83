// History, success counters and killers.

#include <gtest/gtest.h>

#include "search/search.h"

namespace {

class SearchTablesTest : public ::testing::Test {
protected:
    void SetUp() override { ResetSearchTables(); }
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
        HistoryTable[m] = c.before;
        HistoryTable[other] = 32000;
        AddHistory(m, c.depth);
        EXPECT_EQ(HistoryTable[m], c.after) << c.before << " + " << c.depth;
        EXPECT_EQ(HistoryTable[other], 32000u);
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
        BestCount[m] = c.best;
        TriedCount[m] = c.tried;
        EXPECT_EQ(SuccessRatio(m), c.ratio) << c.best << "/" << c.tried;
    }
    // Counters never reset count as fresh ones instead of dividing by zero.
    BestCount[m] = 0;
    TriedCount[m] = 0;
    EXPECT_EQ(SuccessRatio(m), 16384u);
}

TEST_F(SearchTablesTest, CountTriedHalvesAtTheLimit) {
    const Move a = MoveCode(40, 41), b = MoveCode(50, 51), c = MoveCode(60, 61);
    BestCount[a] = 101;
    TriedCount[a] = 16383;
    BestCount[b] = 7;
    TriedCount[b] = 16382;
    const Move searched[] = {a, b, c};
    CountTried(searched, 3);
    EXPECT_EQ(TriedCount[a], 8192u);  // reached 16384: (16384 + 1) >> 1
    EXPECT_EQ(BestCount[a], 51u);     // (101 + 1) >> 1
    EXPECT_EQ(TriedCount[b], 16383u);
    EXPECT_EQ(BestCount[b], 7u);
    EXPECT_EQ(TriedCount[c], 2u);
    EXPECT_EQ(BestCount[c], 1u);
    CountTried(searched + 1, 1);
    EXPECT_EQ(TriedCount[b], 8192u);
    EXPECT_EQ(BestCount[b], 4u);
    CountTried(searched, 0);
    EXPECT_EQ(TriedCount[a], 8192u);
}

TEST_F(SearchTablesTest, UpdateKillers) {
    const MoveRecord first{126, 123, 0, 1, 55};
    const MoveRecord second{40, 53, 0, 0, -7};
    UpdateKillers(first, 3);
    EXPECT_EQ(KillerTable[3][0].from, 126u);
    EXPECT_EQ(KillerTable[3][0].to, 123u);
    EXPECT_EQ(KillerTable[3][1].from, 0u);

    // The same move again, whatever its other fields: nothing changes.
    UpdateKillers(MoveRecord{126, 123, 9, 0, 999}, 3);
    EXPECT_EQ(KillerTable[3][0].score, 55);
    EXPECT_EQ(KillerTable[3][1].from, 0u);

    // A new move pushes killer 1, all five fields, down to killer 2.
    UpdateKillers(second, 3);
    EXPECT_EQ(KillerTable[3][0].from, 40u);
    EXPECT_EQ(KillerTable[3][0].to, 53u);
    EXPECT_EQ(KillerTable[3][0].score, -7);
    const MoveRecord& k2 = KillerTable[3][1];
    EXPECT_EQ(k2.from, 126u);
    EXPECT_EQ(k2.to, 123u);
    EXPECT_EQ(k2.captured, 0u);
    EXPECT_EQ(k2.givesCheck, 1);
    EXPECT_EQ(k2.score, 55);
    // Other plies are untouched, and plies beyond the table are ignored.
    EXPECT_EQ(KillerTable[2][0].from, 0u);
    EXPECT_EQ(KillerTable[4][0].from, 0u);
    UpdateKillers(first, MaxPly);
    UpdateKillers(first, 1000);
}

}  // namespace
