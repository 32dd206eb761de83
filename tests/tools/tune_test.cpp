// The tuner's parts: the PGN reader on the match runner's text and on broken
// text, the quiet-position filter, the gradient against finite differences,
// the sigmoid's scale against a scan, and the written weights read back.

#include "tune/tune.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/placement.h"
#include "support/reference_rules.h"

namespace {

std::vector<PgnGame> Read(const std::string& text, std::vector<std::string>& errors) {
    std::istringstream in(text);
    return ReadPgn(in, errors);
}

TEST(TunePgn, ReadsGamesAndSkipsTheMalformedOne) {
    const std::string text =
        "[Event \"Quillon match\"]\n"
        "[Result \"1-0\"]\n"
        "[FEN \"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1\"]\n"
        "\n"
        "1. h2e2 h9g7 2. h0g2 {a comment\n"
        "over two lines} i9h9 {black is mated} 1-0\n"
        "\n"
        "[Event \"Quillon match\"]\n"
        "[Result \"0-1\"\n"
        "\n"
        "1. b2e2 0-1\n"
        "\n"
        "[Result \"1/2-1/2\"]\r\n"
        "\r\n"
        "1. b0c2 b9c7 {120 plies without a capture} 1/2-1/2\r\n";
    std::vector<std::string> errors;
    const std::vector<PgnGame> games = Read(text, errors);
    ASSERT_EQ(games.size(), 2u);
    EXPECT_EQ(games[0].fen,
              "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1");
    EXPECT_EQ(games[0].moves, (std::vector<std::string>{"h2e2", "h9g7", "h0g2", "i9h9"}));
    EXPECT_EQ(games[0].redScore, 1.0);
    EXPECT_EQ(games[0].firstLine, 1);
    EXPECT_EQ(games[1].fen, "");
    EXPECT_EQ(games[1].moves, (std::vector<std::string>{"b0c2", "b9c7"}));
    EXPECT_EQ(games[1].redScore, 0.5);
    EXPECT_EQ(games[1].firstLine, 13);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("line 9"), std::string::npos) << errors[0];
}

TEST(TunePgn, RefusesBrokenGames) {
    struct Case {
        const char* text;
        const char* fault;
    };
    const Case cases[] = {
        {"[Result \"1-0\"]\n\n1. h2e2 zz99 1-0\n", "not a move: zz99"},
        {"[Result \"1-0\"]\n\n1. h2e2 h9g7x 1-0\n", "not a move"},
        {"[Result \"1-0\"]\n\n1. h2e2 0-1\n", "disagree"},
        {"[Result \"1-0\"]\n\n1. h2e2\n", "no result"},
        {"\n1. h2e2 1-0\n", "no Result tag"},
        {"[Result \"1-0\"]\n\n1. h2e2 {never closed 1-0\n", "comment"},
        {"[Result \"1-0\"]\n\n1. h2e2 1-0 h9g7\n", "after the result"},
        {"[Result \"2-0\"]\n\n1. h2e2 1-0\n", "unknown result"},
        {"[Result 1-0]\n\n1. h2e2 1-0\n", "malformed tag"},
        {"[]\n\n1-0\n", "malformed tag"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> errors;
        EXPECT_TRUE(Read(c.text, errors).empty()) << c.text;
        ASSERT_EQ(errors.size(), 1u) << c.text;
        EXPECT_NE(errors[0].find(c.fault), std::string::npos) << errors[0];
    }
    std::vector<std::string> errors;
    EXPECT_TRUE(Read("", errors).empty());
    EXPECT_TRUE(errors.empty());
}

TEST(TuneSelection, QuietPositions) {
    struct Case {
        const char* pieces;
        uint32_t side;
        bool quiet;
    };
    const Case cases[] = {
        {"Kd0 ke9 Rb0 nb5", Red, false},      // the knight hangs
        {"Kd0 ke9 Rb0 nb5 rb9", Red, true},   // taking it loses the rook
        {"Kd0 ke9 Rb0 na5", Red, true},       // nothing to take
        {"Kd0 ke9 Re5", Black, false},        // in check
        {"Kd0 ke9 Rb0 nb5 cb8", Red, false},  // the cannon's guard is no guard without a screen
    };
    Position& pos = ScratchPosition();
    for (const Case& c : cases) {
        ASSERT_EQ(LoadPlacement(pos, c.pieces, c.side), "");
        EXPECT_EQ(IsQuietPosition(pos), c.quiet) << c.pieces;
    }
}

TEST(TuneSelection, GamesReplayedUnderTheRules) {
    PgnGame game{"", {"h2e2", "h9g7", "h0g2", "i9h9", "i0h0", "b9c7"}, 0.5, 1};
    struct Case {
        int skipPlies;
        int32_t decidedMargin;
        size_t samples;
    };
    // Every position of this line is quiet and near 0; the start scores 3.
    const Case cases[] = {{0, 500, 7}, {4, 500, 3}, {6, 500, 1}, {7, 500, 0}, {0, 3, 0}};
    for (const Case& c : cases) {
        TrainingSet set;
        std::string error;
        EXPECT_TRUE(AddGame(game, SelectionRules{c.skipPlies, c.decidedMargin}, set, error));
        EXPECT_EQ(set.samples.size(), c.samples) << c.skipPlies << " " << c.decidedMargin;
        for (const Sample& s : set.samples) EXPECT_EQ(s.redScore, 0.5f);
    }
    TrainingSet set;
    std::string error;
    game.moves.push_back("h0h9");  // a rook through its own knight
    EXPECT_FALSE(AddGame(game, SelectionRules{0, 500}, set, error));
    EXPECT_TRUE(set.samples.empty());
    EXPECT_NE(error.find("h0h9 at ply 7"), std::string::npos) << error;
}

// A handful of positions with results, for the fitting tests.
TrainingSet SmallSet() {
    struct Case {
        const char* pieces;
        uint32_t side;
        double result;
    };
    const Case cases[] = {
        {"Kd0 ke9 Rb0 Nc2 pe4", Red, 1},           {"Kd0 ke9 rb9 nc7 Pe4 Pc6", Black, 0},
        {"Ke0 kd9 Ch2 ch7 Ra0 ri9", Red, 0.5},     {"Ke0 kd9 Nd8 Rb0 nb5 rb9", Black, 0},
        {"Ke0 kf9 Ae1 ae8 Ce3 Ra4 nd3", Black, 1}, {"Ke0 kd9 Pe6 pe3 Bc0 bg9", Red, 0.5},
    };
    TrainingSet set;
    Position& pos = ScratchPosition();
    for (const Case& c : cases) {
        EXPECT_EQ(LoadPlacement(pos, c.pieces, c.side), "");
        AddSample(pos, c.result, set);
    }
    return set;
}

TEST(TuneFit, GradientMatchesFiniteDifferences) {
    const TrainingSet set = SmallSet();
    std::vector<double> start(ModernWeightCount), weights(ModernWeightCount);
    WeightsToReals(ClassicModernWeights(), start.data());
    std::mt19937 rng(3);
    for (int i = 0; i < ModernWeightCount; i++)
        weights[i] = start[i] + std::uniform_real_distribution<double>(-20, 20)(rng);
    for (double lambda : {0.0, 1e-4}) {
        const double k = 0.008;
        std::vector<double> gradient(ModernWeightCount);
        TuningGradient(set, weights.data(), start.data(), k, lambda, gradient.data());
        int nonzero = 0;
        for (int i = 0; i < ModernWeightCount; i++) {
            const double h = 1e-3;
            std::vector<double> up = weights, down = weights;
            up[i] += h;
            down[i] -= h;
            const double numeric = (TuningObjective(set, up.data(), start.data(), k, lambda) -
                                    TuningObjective(set, down.data(), start.data(), k, lambda)) /
                                   (2 * h);
            EXPECT_NEAR(gradient[i], numeric, 1e-9 + 1e-5 * std::fabs(numeric))
                << "weight " << i << " lambda " << lambda;
            nonzero += gradient[i] != 0;
        }
        // The data reach placements, terms and the side to move; the pull
        // reaches every weight.
        EXPECT_GT(nonzero, lambda > 0 ? ModernWeightCount - 1 : 12);
    }
}

TEST(TuneFit, ScaleIsTheBestOfAScan) {
    const TrainingSet set = SmallSet();
    std::vector<double> weights(ModernWeightCount);
    WeightsToReals(ClassicModernWeights(), weights.data());
    const double k = FitScale(set, weights.data());
    const double best = MeanSquaredError(set, weights.data(), k);
    for (double scan = 1e-5; scan < 1; scan *= 1.05)
        EXPECT_LE(best, MeanSquaredError(set, weights.data(), scan) + 1e-12) << scan;
}

TEST(TuneFit, TuningLowersTheError) {
    const TrainingSet set = SmallSet();
    std::vector<double> start(ModernWeightCount), weights(ModernWeightCount);
    WeightsToReals(ClassicModernWeights(), start.data());
    const double k = FitScale(set, start.data());
    weights = start;
    AdamSettings settings;
    settings.iterations = 50;
    TuneWeights(set, start.data(), k, settings, weights.data());
    EXPECT_LT(TuningObjective(set, weights.data(), start.data(), k, settings.lambda),
              TuningObjective(set, start.data(), start.data(), k, settings.lambda));
}

TEST(TuneOutput, WrittenWeightsReadBackInOrder) {
    std::mt19937 rng(9);
    ModernWeights weights{};
    for (int i = 0; i < ModernWeightCount; i++)
        SetWeightAt(weights, i, int32_t(rng() % 2001) - 1000);
    const std::string source = WeightsSource(weights, "a note with 3 numbers 1 2");
    const size_t table = source.find("TunedModernWeights = {");
    ASSERT_NE(table, std::string::npos);
    // The numbers of the table, comments left out.
    std::vector<int32_t> numbers;
    const std::string body = source.substr(table);
    for (size_t i = 0; i < body.size();) {
        if (body.compare(i, 2, "//") == 0) {
            i = body.find('\n', i);
            if (i == std::string::npos) break;
        } else if (std::isdigit(static_cast<unsigned char>(body[i])) ||
                   (body[i] == '-' && i + 1 < body.size() &&
                    std::isdigit(static_cast<unsigned char>(body[i + 1])))) {
            size_t length = 0;
            numbers.push_back(std::stoi(body.substr(i), &length));
            i += length;
        } else {
            i++;
        }
    }
    ASSERT_EQ(numbers.size(), size_t(ModernWeightCount));
    for (int i = 0; i < ModernWeightCount; i++) EXPECT_EQ(numbers[i], WeightAt(weights, i)) << i;
}

TEST(TuneOutput, RealsRoundToTheNearestUnit) {
    std::vector<double> reals(ModernWeightCount, 0.0);
    reals[0] = 2.5;
    reals[FirstTermWeight] = -2.5;
    reals[SideToMoveWeight] = 3.49;
    const ModernWeights weights = WeightsFromReals(reals.data());
    EXPECT_EQ(WeightAt(weights, 0), 3);
    EXPECT_EQ(WeightAt(weights, FirstTermWeight), -3);
    EXPECT_EQ(weights.sideToMove, 3);
}

}  // namespace
