#include <gtest/gtest.h>

#include <cstring>

#include "search/time_manager.h"
#include "shell/tokenizer.h"
#include "shell/ucci.h"
#include "split_line.h"

namespace {

struct ExpectedLimits {
    int32_t maxDepth;
    bool timed;
    int32_t total;  // time left plus increment, as the plan is given it
    uint32_t nodes;
    bool ponder;
    int32_t moveTime;
};

TEST(GoLimits, ReadFromTheWordsAfterGo) {
    struct Case {
        const char* line;
        int32_t depthBefore;
        ExpectedLimits limits;
    };
    const Case cases[] = {
        {"go", 20, {20, false, 0, 0, false, 0}},
        {"go depth 5", 20, {5, false, 0, 0, false, 0}},
        {"go depth 3", 7, {3, false, 0, 0, false, 0}},
        {"go depth infinite", 3, {15, false, 0, 0, false, 0}},
        {"go depth inf", 3, {15, false, 0, 0, false, 0}},
        {"go depth INF", 3, {15, false, 0, 0, false, 0}},
        {"go depth", 3, {0, false, 0, 0, false, 0}},
        {"go depth 0", 3, {0, false, 0, 0, false, 0}},
        {"go depth abc", 3, {0, false, 0, 0, false, 0}},
        {"go depth -4", 3, {-4, false, 0, 0, false, 0}},
        {"go depth 99999999999", 3, {2147483647, false, 0, 0, false, 0}},
        {"go infinite", 3, {3, false, 0, 0, false, 0}},
        {"go time 60000", 3, {3, true, 60000, 0, false, 0}},
        {"go time 1000 increment 200 movestogo 30", 3, {3, true, 1200, 0, false, 0}},
        {"go time 1000 movestogo 30 increment 200", 3, {3, true, 1200, 0, false, 0}},
        {"go time 1000 movestogo increment 200", 3, {3, true, 1000, 0, false, 0}},
        {"go time 1000 increment 200 increment 50", 3, {3, true, 1050, 0, false, 0}},
        {"go time 1000 increment", 3, {3, true, 1000, 0, false, 0}},
        {"go time 1000 depth 5 increment 7", 3, {3, true, 1007, 0, false, 0}},
        {"go movestogo 30 time 1000", 3, {3, false, 0, 0, false, 0}},
        {"go time", 3, {3, true, 0, 0, false, 0}},
        {"go time -5", 3, {3, true, -5, 0, false, 0}},
        {"go time 2147483647 increment 2147483647", 3, {3, true, 2147483647, 0, false, 0}},
        {"go time -2147483648 increment -2147483648", 3, {3, true, -2147483647 - 1, 0, false, 0}},
        {"go time 99999999999 increment -99999999999", 3, {3, true, -1, 0, false, 0}},
        {"go TIME 500 INCREMENT 40", 3, {3, true, 540, 0, false, 0}},
        // Pondering, a draw offer, and a node limit.
        {"go ponder time 1000 increment 10", 3, {3, true, 1010, 0, true, 0}},
        {"go ponder depth 7", 3, {7, false, 0, 0, true, 0}},
        {"go ponder", 3, {3, false, 0, 0, true, 0}},
        {"go draw time 500", 3, {3, true, 500, 0, false, 0}},
        {"go draw ponder draw depth 2", 3, {2, false, 0, 0, true, 0}},
        {"go time 500 ponder", 3, {3, true, 500, 0, false, 0}},
        {"go nodes 5000", 3, {3, false, 0, 5000, false, 0}},
        {"go depth 9 nodes 70", 3, {9, false, 0, 70, false, 0}},
        {"go time 900 nodes 12 increment 1", 3, {3, true, 901, 12, false, 0}},
        {"go nodes 0", 3, {3, false, 0, 0, false, 0}},
        {"go nodes -5", 3, {3, false, 0, 0, false, 0}},
        {"go nodes", 3, {3, false, 0, 0, false, 0}},
        {"go nodes abc", 3, {3, false, 0, 0, false, 0}},
        {"go NODES 99999999999", 3, {3, false, 0, 2147483647, false, 0}},
    };
    for (const Case& c : cases) {
        SplitLine line(c.line);
        SearchLimits limits = ReadUcciGoLimits(line.words, line.count, c.depthBefore, true);
        EXPECT_EQ(limits.maxDepth, c.limits.maxDepth) << c.line;
        EXPECT_EQ(limits.timed, c.limits.timed) << c.line;
        EXPECT_EQ(limits.nodes, c.limits.nodes) << c.line;
        EXPECT_EQ(limits.ponder, c.limits.ponder) << c.line;
        EXPECT_EQ(limits.moveTime, 0) << c.line;
        if (c.limits.timed) {
            EXPECT_EQ(PlanTotal(limits), c.limits.total) << c.line;
        }
    }
}

// With "setoption usemillisec false" the clock's times are seconds.
TEST(GoLimits, SecondsWhenNotInMilliseconds) {
    struct Case {
        const char* line;
        int32_t timeLeft, increment;
    };
    const Case cases[] = {
        {"go time 10", 10000, 0},
        {"go time 10 increment 2", 10000, 2000},
        {"go time 3000000 increment 1", 2147483647, 1000},
        {"go time -3000000", -2147483647 - 1, 0},
    };
    for (const Case& c : cases) {
        SplitLine line(c.line);
        const SearchLimits limits = ReadUcciGoLimits(line.words, line.count, 20, false);
        EXPECT_TRUE(limits.timed) << c.line;
        EXPECT_EQ(limits.timeLeft, c.timeLeft) << c.line;
        EXPECT_EQ(limits.increment, c.increment) << c.line;
    }
}

TEST(GoLimits, TheIterationCounterNeverPassesWhatEightBitsHold) {
    const int32_t cases[][2] = {{20, 20},   {0, 0},     {-3, -3},   {127, 127},
                                {128, 127}, {255, 127}, {256, 127}, {2147483647, 127}};
    for (const auto& c : cases) EXPECT_EQ(LastIteration(c[0]), c[1]) << c[0];
}

}  // namespace
