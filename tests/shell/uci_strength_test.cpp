// UCI_LimitStrength: the plan for a rating, and the choice among the best
// lines, which may be weaker by no more than the rating allows.

#include <gtest/gtest.h>

#include <set>

#include "position/piece_values.h"
#include "shell/engine.h"
#include "shell/uci.h"

namespace {

TEST(UciStrength, StrongerRatingsSearchMoreAndStrayLess) {
    StrengthPlan previous = PlanStrength(WeakestElo);
    EXPECT_EQ(previous.maxDepth, 1);
    // The weakest strays by up to a few pawns, never by a piece.
    EXPECT_LT(previous.margin, 5 * PawnUnit);
    for (int32_t elo = WeakestElo + 1; elo <= StrongestElo; elo += 7) {
        const StrengthPlan plan = PlanStrength(elo);
        EXPECT_GE(plan.maxDepth, previous.maxDepth) << elo;
        EXPECT_GE(plan.nodes, previous.nodes) << elo;
        EXPECT_LE(plan.margin, previous.margin) << elo;
        EXPECT_GE(plan.margin, 0) << elo;
        previous = plan;
    }
    // The strongest strays by less than half a pawn, and searches deeper.
    EXPECT_LT(PlanStrength(StrongestElo).margin, PawnUnit / 2);
    EXPECT_GT(PlanStrength(StrongestElo).maxDepth, PlanStrength(WeakestElo).maxDepth);
    EXPECT_GT(PlanStrength(StrongestElo).nodes, PlanStrength(WeakestElo).nodes);
    // Ratings outside the range count as its ends.
    for (const int32_t elo : {-5, 0, 800, WeakestElo - 1}) {
        EXPECT_EQ(PlanStrength(elo).maxDepth, PlanStrength(WeakestElo).maxDepth) << elo;
        EXPECT_EQ(PlanStrength(elo).nodes, PlanStrength(WeakestElo).nodes) << elo;
        EXPECT_EQ(PlanStrength(elo).margin, PlanStrength(WeakestElo).margin) << elo;
    }
    for (const int32_t elo : {StrongestElo + 1, 99999}) {
        EXPECT_EQ(PlanStrength(elo).maxDepth, PlanStrength(StrongestElo).maxDepth) << elo;
        EXPECT_EQ(PlanStrength(elo).nodes, PlanStrength(StrongestElo).nodes) << elo;
    }
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
