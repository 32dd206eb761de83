#include "search/time_manager.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Iteration {
    int32_t elapsed;
    uint16_t bestMove;
    int16_t score;
    bool stop;
    int32_t limitAfter;
};

struct Case {
    const char* name;
    int32_t total;
    std::vector<Iteration> iterations;
};

TEST(TimeControl, DecidesBetweenIterations) {
    const Case cases[] = {
        {"a new best move before the limit goes on; at the limit stops",
         60000,
         {{1400, 100, 0, false, 1500}, {1500, 200, 0, true, 1500}}},
        {"past the limit stops", 60000, {{1400, 100, 0, false, 1500}, {1600, 101, 0, true, 1500}}},
        {"four iterations with one best move past half the allotment stop",
         60000,
         {{100, 7, 0, false, 1500},
          {200, 7, 0, false, 1500},
          {300, 7, 0, false, 1500},
          {800, 7, 0, true, 1500}}},
        {"four iterations with one best move before half the allotment go on",
         60000,
         {{100, 7, 0, false, 1500},
          {200, 7, 0, false, 1500},
          {300, 7, 0, false, 1500},
          {700, 7, 0, false, 1500},
          {750, 7, 0, false, 1500},
          {751, 7, 0, true, 1500}}},
        {"exactly half the allotment is not past it",
         60000,
         {{1, 7, 0, false, 1500},
          {2, 7, 0, false, 1500},
          {3, 7, 0, false, 1500},
          {750, 7, 0, false, 1500}}},
        {"a fall of 70 extends the limit",
         60000,
         {{100, 1, 120, false, 1500}, {1600, 2, 50, false, 3000}, {3000, 3, 50, true, 3000}}},
        {"a fall of exactly 60 extends, 59 does not",
         60000,
         {{100, 1, 100, false, 1500}, {200, 2, 40, false, 3000}, {300, 3, -19, false, 3000}}},
        {"a rise never changes the limit",
         60000,
         {{100, 1, -500, false, 3000}, {200, 2, 500, false, 3000}}},
        {"every fall extends once more",
         60000,
         {{100, 1, -60, false, 3000}, {200, 2, -120, false, 4500}, {4400, 3, -180, false, 6000}}},
        {"the first score compares with 0", 60000, {{100, 1, -60, false, 3000}}},
        {"the first score of -59 does not extend", 60000, {{100, 1, -59, false, 1500}}},
        {"a total below 40 stops after the first iteration", 39, {{0, 1, 0, true, 0}}},
        {"a negative total stops after the first iteration", -5, {{0, 1, 0, true, 0}}},
        {"a move of 0 counts toward stability like any other",
         60000,
         {{100, 0, 0, false, 1500},
          {200, 0, 0, false, 1500},
          {300, 0, 0, false, 1500},
          {800, 0, 0, true, 1500}}},
        {"a change of move starts the count afresh",
         60000,
         {{100, 5, 0, false, 1500},
          {200, 5, 0, false, 1500},
          {300, 5, 0, false, 1500},
          {400, 6, 0, false, 1500},
          {800, 6, 0, false, 1500}}},
    };
    for (const Case& c : cases) {
        TimeControl control;
        StartTimeControl(control, c.total);
        int n = 0;
        for (const Iteration& it : c.iterations) {
            n++;
            EXPECT_EQ(ShouldStop(control, it.elapsed, it.bestMove, it.score), it.stop)
                << c.name << ", iteration " << n;
            EXPECT_EQ(control.Limit, it.limitAfter) << c.name << ", iteration " << n;
        }
    }
}

TEST(TimeControl, StartGivesAFortiethTruncatedTowardZero) {
    const int32_t totals[][2] = {{60000, 1500}, {1200, 30}, {79, 1},
                                 {0, 0},        {-79, -1},  {2147483647, 53687091}};
    for (const auto& t : totals) {
        TimeControl control;
        StartTimeControl(control, t[0]);
        EXPECT_EQ(control.Allotment, t[1]) << t[0];
        EXPECT_EQ(control.Limit, t[1]) << t[0];
        EXPECT_EQ(control.StableCount, 0) << t[0];
    }
}

TEST(TimeControl, AStableStopLeavesTheLastScoreAsItWas) {
    TimeControl control;
    StartTimeControl(control, 60000);
    for (int i = 0; i < 3; i++) ShouldStop(control, 10, 9, 100);
    EXPECT_TRUE(ShouldStop(control, 800, 9, -500));
    EXPECT_EQ(control.LastScore, 100);
    EXPECT_EQ(control.Limit, 1500);
}

TEST(TimeControl, ManyExtensionsOfAHugeAllotmentStayInRange) {
    TimeControl control;
    StartTimeControl(control, 2147483647);
    int16_t score = 0;
    for (int i = 0; i < 127; i++) {
        score = int16_t(score - 100);
        if (score < -30000) score = 0;
        ShouldStop(control, 0, uint16_t(i), score);
        ASSERT_GE(control.Limit, 53687091) << "iteration " << i;
    }
    EXPECT_EQ(control.Limit, 2147483647);
}

// The deadline that ends a search within an iteration: a quarter of the
// time given under a clock, the move time, and never beyond the time left
// less a margin; the earliest of those that apply.
TEST(TimeManager, TheDeadlineIsTheEarliestHardLimit) {
    struct Case {
        const char* name;
        bool timed;
        int32_t timeLeft, increment, moveTime;
        int32_t deadline;  // ms after the clock's start; -1 none
    };
    const Case cases[] = {
        {"no clock, no move time", false, 0, 0, 0, -1},
        {"a move time alone", false, 0, 0, 500, 500},
        {"a clock: a quarter of it", true, 60000, 0, 0, 15000},
        {"a clock and its increment", true, 60000, 4000, 0, 16000},
        {"a large increment never passes the time left", true, 300, 3000, 0, 250},
        {"a clock and a shorter move time", true, 60000, 0, 2000, 2000},
        {"a clock shorter than the move time", true, 1000, 0, 5000, 250},
        {"a move time beyond the time left", true, 100, 3000, 70, 50},
        {"almost no time left", true, 40, 0, 0, 10},
        {"almost no time left, a large increment", true, 40, 1000, 0, 20},
        {"no time left", true, 0, 0, 0, 0},
        {"less than none", true, -5, 100, 0, 0},
    };
    for (const Case& c : cases) {
        SearchLimits limits;
        limits.timed = c.timed;
        limits.timeLeft = c.timeLeft;
        limits.increment = c.increment;
        limits.moveTime = c.moveTime;
        SearchClock clock;
        StartSearchClock(clock, limits, 1000);
        EXPECT_FALSE(clock.pondering) << c.name;
        EXPECT_EQ(clock.start, 1000) << c.name;
        EXPECT_EQ(clock.deadline, c.deadline) << c.name;
        // Pondering: no deadline until the ponderhit starts the clock.
        limits.ponder = true;
        StartSearchClock(clock, limits, 1000);
        EXPECT_TRUE(clock.pondering) << c.name;
        EXPECT_EQ(clock.deadline, -1) << c.name;
        StartClock(clock, 5000);
        EXPECT_EQ(clock.start, 5000) << c.name;
        EXPECT_EQ(clock.deadline, c.deadline) << c.name;
    }
}

}  // namespace
