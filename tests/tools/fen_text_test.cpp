#include "support/fen_text.h"

#include <gtest/gtest.h>

#include <random>

#include "support/placement.h"
#include "support/reference_rules.h"

namespace {

TEST(FenText, KnownPositions) {
    const char* fens[] = {
        StartFen,
        "4k4/9/9/9/9/9/9/9/4R4/4K4 w - - 0 1",
        "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1",
        "3k5/4a4/9/9/9/9/9/9/9/3K5 b - - 0 1",
        "9/9/9/9/9/9/9/9/9/9 w - - 0 1",
    };
    Position& pos = ScratchPosition();
    for (const char* fen : fens) {
        LoadFen(fen, pos);
        EXPECT_EQ(FenOfPosition(pos), fen);
    }
}

// Any position reached by play reads back as the same position.
TEST(FenText, RoundTripAfterRandomGames) {
    std::mt19937 rng(99);
    Position& game = ScratchPosition(0);
    Position& copy = ScratchPosition(1);
    for (int g = 0; g < 40; g++) {
        LoadFen(StartFen, game);
        PlayRandomGame(game, 1 + g * 3, rng);
        const std::string fen = FenOfPosition(game);
        LoadFen(fen.c_str(), copy);
        EXPECT_EQ(CurrentKey(copy), CurrentKey(game)) << fen;
        EXPECT_EQ(copy.SideToMove, game.SideToMove) << fen;
        for (uint32_t s = 0; s < BoardSquares; s++)
            EXPECT_EQ(copy.Board[s] != 0, game.Board[s] != 0) << fen << " " << s;
        EXPECT_EQ(FenOfPosition(copy), fen);
    }
}

// Placements load as their FEN reads; a word naming no piece on a square, a
// square taken twice or a piece too many is reported with the word.
TEST(FenText, PlacementsAndTheirFaults) {
    struct Case {
        const char* pieces;
        uint32_t side;
        const char* fen;  // when every word is good
        const char* bad;  // the word reported otherwise
    };
    const Case cases[] = {
        {"Ke0 ke9 Ch2", Red, "4k4/9/9/9/9/9/9/7C1/9/4K4 w - - 0 1", nullptr},
        {"  kd9\tPi4 ", Black, "3k5/9/9/9/9/8P/9/9/9/9 b - - 0 1", nullptr},
        {"Ke0 ka9", Red, nullptr, "a placement no game reaches"},
        {"", Red, "9/9/9/9/9/9/9/9/9/9 w - - 0 1", nullptr},
        {"Ke0 Xe5", Red, nullptr, "Xe5"},
        {"Ke0 Rj5", Red, nullptr, "Rj5"},
        {"Ke0 Re10", Red, nullptr, "Re10"},
        {"Ke0 Re", Red, nullptr, "Re"},
        {"Ke0 ke0", Red, nullptr, "ke0"},
        {"Ke0 Kd0", Red, nullptr, "Kd0"},
        {"Pa3 Pc3 Pe3 Pg3 Pi3 Pa5", Red, nullptr, "Pa5"},
    };
    Position& pos = ScratchPosition();
    for (const Case& c : cases) {
        const std::string faults = LoadPlacement(pos, c.pieces, c.side);
        if (c.bad == nullptr) {
            EXPECT_EQ(faults, "") << c.pieces;
            EXPECT_EQ(FenOfPosition(pos), c.fen) << c.pieces;
        } else {
            EXPECT_NE(faults.find(c.bad), std::string::npos) << c.pieces << ": " << faults;
        }
    }
}

}  // namespace
