// The modern evaluation against its features: the fast sum over the piece
// slots must equal the slow dot product over a board walk, for the tuned, the
// classic and random weights; the classic weights must give Evaluate's score.

#include "eval/eval_modern.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "eval/eval.h"
#include "position/piece_values.h"
#include "support/placement.h"
#include "support/reference_rules.h"

namespace {

ModernWeights RandomWeights(std::mt19937& rng) {
    ModernWeights weights{};
    for (int i = 0; i < ModernWeightCount; i++) SetWeightAt(weights, i, int32_t(rng() % 601) - 300);
    return weights;
}

// Evaluate less the classic weights' score: black knights on row 8 are
// scored by the classic tables as red's row 3, by the mirror as red's row 1.
int32_t KnightRowEightGap(const Position& pos) {
    int32_t gap = 0;
    for (uint32_t knight = BlackKing + KnightOffset; knight <= BlackKing + KnightOffset + 1;
         knight++) {
        const uint32_t square = pos.PieceSquare[knight];
        if (square == 0 || RowOfSquare[square] != 8) continue;
        const uint32_t file = FileOfSquare[square];
        gap += KnightValues[1][file] - KnightValues[3][file];
    }
    return pos.SideToMove == Red ? gap : -gap;
}

struct Counts {
    int positions = 0, knightGaps = 0;
};

void CheckPosition(const Position& pos, const ModernWeights* weightSets, int setCount,
                   Counts& counts) {
    FeatureVector features;
    ModernFeatures(pos, features);
    for (int w = 0; w < setCount; w++)
        ASSERT_EQ(EvaluateModernWith(pos, weightSets[w]), EvaluateFeatures(weightSets[w], features))
            << "weights " << w << " " << FenOfPosition(pos);
    const int32_t gap = KnightRowEightGap(pos);
    ASSERT_EQ(Evaluate(pos) - EvaluateModernWith(pos, ClassicModernWeights()), gap)
        << FenOfPosition(pos);
    counts.positions++;
    counts.knightGaps += gap != 0;
}

TEST(EvaluateModern, EqualsTheDotProductOverRandomGamesAndPlacements) {
    std::mt19937 rng(31);
    const ModernWeights weightSets[] = {TunedModernWeights, ClassicModernWeights(),
                                        RandomWeights(rng), RandomWeights(rng)};
    Position& pos = ScratchPosition();
    Counts counts;
    for (int game = 0; game < 60; game++) {
        LoadFen(StartFen, pos);
        for (int ply = 0; ply < 160; ply += 4) {
            PlayRandomGame(pos, 4, rng);
            CheckPosition(pos, weightSets, 4, counts);
            if (HasFatalFailure()) return;
        }
    }
    for (int i = 0; i < 3000; i++) {
        if (!LoadRandomPlacement(pos, rng, 0.3 + 0.6 * (i % 7) / 6.0)) continue;
        CheckPosition(pos, weightSets, 4, counts);
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(counts.positions, 4000);
    // The one place where the mirror cannot follow the classic tables came up.
    EXPECT_GT(counts.knightGaps, 20);
}

TEST(EvaluateModern, StartPositionIsTheSideToMoveBonus) {
    std::mt19937 rng(5);
    Position& pos = ScratchPosition();
    for (const ModernWeights& weights :
         {TunedModernWeights, ClassicModernWeights(), RandomWeights(rng)}) {
        LoadFen(StartFen, pos);
        EXPECT_EQ(EvaluateModernWith(pos, weights), weights.sideToMove);
        pos.SideToMove = Black;
        EXPECT_EQ(EvaluateModernWith(pos, weights), weights.sideToMove);
    }
}

// Features of small boards, worked out by hand.
TEST(ModernFeatures, SmallBoards) {
    struct Coefficient {
        int index, value;
    };
    struct Case {
        const char* pieces;
        uint32_t side;
        bool complete;  // every other coefficient is 0
        Coefficient expected[6];
    };
    const Case cases[] = {
        // The rook sees 9 squares up its file and 2 along its row: 4 + 1.
        {"Kd0 ke9 Rb0",
         Red,
         true,
         {{PlacementWeightIndex(ModernRook, 9, 1), 1},
          {PlacementWeightIndex(ModernKing, 9, 3), 1},
          {PlacementWeightIndex(ModernKing, 9, 4), -1},
          {FirstTermWeight + TermRookAdvantage, 40},
          {FirstTermWeight + TermRookMobility, 5},
          {SideToMoveWeight, 1}}},
        // Files fold onto the centre and black's rows mirror: a black knight on
        // h2 is red's knight on row 2 of the b-file, negated.
        {"Ke0 kd9 nh2 Nb7 Ch7",
         Black,
         false,
         {{PlacementWeightIndex(ModernKnight, 2, 1), 1 - 1},
          {PlacementWeightIndex(ModernCannon, 2, 1), 1},
          {PlacementWeightIndex(ModernKing, 9, 3), -1},
          {PlacementWeightIndex(ModernKing, 9, 4), 1},
          {FirstTermWeight + TermRookAdvantage, 0},
          {SideToMoveWeight, -1}}},
    };
    Position& pos = ScratchPosition();
    for (const Case& c : cases) {
        ASSERT_EQ(LoadPlacement(pos, c.pieces, c.side), "");
        FeatureVector features;
        ModernFeatures(pos, features);
        int nonzero = 0;
        for (int32_t coefficient : features.coefficient) nonzero += coefficient != 0;
        int expectedNonzero = 0;
        for (const Coefficient& e : c.expected) {
            EXPECT_EQ(features.coefficient[e.index], e.value) << c.pieces << " weight " << e.index;
            expectedNonzero += e.value != 0;
        }
        if (c.complete) {
            EXPECT_EQ(nonzero, expectedNonzero) << c.pieces;
        }
    }
}

TEST(ModernWeights, FlatIndexReachesEveryWeightOnce) {
    ModernWeights weights{};
    for (int i = 0; i < ModernWeightCount; i++) SetWeightAt(weights, i, i + 1);
    for (int i = 0; i < ModernWeightCount; i++) EXPECT_EQ(WeightAt(weights, i), i + 1);
    EXPECT_EQ(weights.placement[ModernBishop][7][4], PlacementWeightIndex(ModernBishop, 7, 4) + 1);
    EXPECT_EQ(weights.terms[TermCentralCannon], FirstTermWeight + TermCentralCannon + 1);
    EXPECT_EQ(weights.sideToMove, ModernWeightCount);
}

}  // namespace
