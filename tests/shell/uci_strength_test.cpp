// UCI_LimitStrength: the plan for a rating, and the choice among the best
// lines, which may be weaker but never gives material away.

#include <gtest/gtest.h>

#include <set>

#include "position/piece_values.h"
#include "shell/uci.h"

namespace {

TEST(UciStrength, StrongerRatingsSearchMoreAndStrayLess) {
    StrengthPlan previous = PlanStrength(800);
    EXPECT_EQ(previous.maxDepth, 1);
    for (int32_t elo = 850; elo <= 2400; elo += 50) {
        const StrengthPlan plan = PlanStrength(elo);
        EXPECT_GE(plan.maxDepth, previous.maxDepth) << elo;
        EXPECT_GE(plan.nodes, previous.nodes) << elo;
        EXPECT_LE(plan.margin, previous.margin) << elo;
        // Never as much as an uncrossed pawn worse than the best line.
        EXPECT_LT(plan.margin, PawnUnit) << elo;
        EXPECT_GE(plan.margin, 0) << elo;
        previous = plan;
    }
    EXPECT_EQ(previous.margin, 0);
    EXPECT_GT(previous.maxDepth, PlanStrength(800).maxDepth);
    // Ratings outside the range count as its ends.
    for (const int32_t elo : {-5, 0, 799}) {
        EXPECT_EQ(PlanStrength(elo).maxDepth, PlanStrength(800).maxDepth) << elo;
        EXPECT_EQ(PlanStrength(elo).nodes, PlanStrength(800).nodes) << elo;
        EXPECT_EQ(PlanStrength(elo).margin, PlanStrength(800).margin) << elo;
    }
    EXPECT_EQ(PlanStrength(99999).nodes, PlanStrength(2400).nodes);
    EXPECT_EQ(PlanStrength(99999).margin, PlanStrength(2400).margin);
}

TEST(UciStrength, TheChoiceStaysWithinTheMargin) {
    struct Case {
        StrengthLines lines;
        int32_t margin;
        std::set<Move> allowed;  // what some draw may give, and nothing else
    };
    const Case cases[] = {
        {{1, 4, {11, 12, 13, 14}, {50, 48, 43, 42}}, 8, {11, 12, 13, 14}},
        {{1, 4, {11, 12, 13, 14}, {50, 48, 41, 40}}, 8, {11, 12}},
        {{1, 4, {11, 12, 13, 14}, {50, 48, 43, 42}}, 0, {11}},
        {{1, 3, {11, 12, 13, 0}, {-20, -25, -300, 0}}, 8, {11, 12}},
        {{1, 1, {11, 0, 0, 0}, {5, 0, 0, 0}}, 8, {11}},
        // A mate found is played; a mate against is never walked into.
        {{1, 3, {11, 12, 13, 0}, {9997, 9995, 30, 0}}, 8, {11}},
        {{1, 3, {11, 12, 13, 0}, {0, -4, -9995, 0}}, 8, {11, 12}},
        {{1, 2, {11, 12, 0, 0}, {-9997, -9999, 0, 0}}, 8, {11}},
        {{1, 0, {0, 0, 0, 0}, {0, 0, 0, 0}}, 8, {0}},
    };
    for (const Case& c : cases) {
        std::set<Move> drawn;
        for (uint32_t random = 0; random < 64; random++) {
            const Move move = ChooseWithinMargin(c.lines, c.margin, random);
            EXPECT_EQ(c.allowed.count(move), 1u) << move;
            drawn.insert(move);
        }
        // Every allowed line can be drawn.
        EXPECT_EQ(drawn, c.allowed);
    }
}

}  // namespace
