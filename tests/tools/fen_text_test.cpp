#include "tools/fen_text.h"

#include <gtest/gtest.h>

#include <random>

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

}  // namespace
