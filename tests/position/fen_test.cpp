#include <gtest/gtest.h>

#include <cstring>

#include "position/position.h"
#include "support/reference_rules.h"

namespace {

TEST(Fen, StartPosition) {
    Position& pos = ScratchPosition();
    LoadFen(StartFen, pos);
    EXPECT_EQ(pos.SideToMove, Red);
    EXPECT_EQ(pos.MoveCount, 0u);
    EXPECT_EQ(pos.Ply, 0u);
    EXPECT_EQ(pos.MoveStack[0].givesCheck, 0);
    EXPECT_EQ(pos.CheckersStack[0], 0u);
    EXPECT_EQ(pos.PieceSquare[16], 149u);
    EXPECT_EQ(pos.PieceSquare[32], 32u);
    EXPECT_EQ(pos.PieceSquare[23], 145u);
    EXPECT_EQ(pos.PieceSquare[24], 153u);
    EXPECT_EQ(pos.PieceSquare[39], 28u);
    EXPECT_EQ(pos.PieceSquare[40], 36u);
    for (uint32_t p = 27; p <= 31; p++) EXPECT_EQ(pos.PieceSquare[p], SquareAt(2 * (p - 27), 6));
    EXPECT_EQ(pos.FileBits[4], 0x249);
    EXPECT_EQ(pos.RowBits[0], 0x1FF);
    EXPECT_EQ(pos.RowBits[9], 0x1FF);
    EXPECT_EQ(pos.RowBits[2], 0x82);
    EXPECT_EQ(CheckInvariants(pos), "");
}

TEST(Fen, SideFieldAndKey) {
    Position& red = ScratchPosition(0);
    Position& black = ScratchPosition(1);
    const char* board = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR ";
    LoadFen((std::string(board) + "w - - 0 1").c_str(), red);
    LoadFen((std::string(board) + "b - - 0 1").c_str(), black);
    EXPECT_EQ(black.SideToMove, Black);
    EXPECT_EQ(red.KeyStack[0] ^ black.KeyStack[0], ZobristSide);
    LoadFen((std::string(board) + "r - - 0 1").c_str(), black);
    EXPECT_EQ(black.SideToMove, Red);
    EXPECT_EQ(black.KeyStack[0], red.KeyStack[0]);
}

TEST(Fen, CheckAndFacingKingsAtLoad) {
    Position& pos = ScratchPosition();
    // A black rook on e5 checks the red king on e0 down the open file.
    LoadFen("3k5/9/9/9/4r4/9/9/9/9/4K4 w - - 0 1", pos);
    EXPECT_EQ(pos.MoveStack[0].givesCheck, 1);
    EXPECT_EQ(pos.CheckersStack[0], 1u << 22);
    // Kings facing on an open file: the opposing king's bit.
    LoadFen("4k4/9/9/9/9/9/9/9/9/4K4 w - - 0 1", pos);
    EXPECT_EQ(pos.CheckersStack[0], 1u << 12);
    LoadFen("4k4/9/9/9/9/9/9/9/9/4K4 b - - 0 1", pos);
    EXPECT_EQ(pos.CheckersStack[0], 1u);
}

// Malformed placements never write outside the board or past a quota.
TEST(Fen, MalformedTextStaysOnTheBoard) {
    const char* cases[] = {
        "",
        "rnbakabnrrrrr/9/9/9/9/9/9/9/9/4K4 w",  // files beyond the ninth
        "RRRRR4/PPPPPPP2/9/9/9/9/9/9/9/4K4 w",  // too many rooks and pawns
        "KKK6/9/9/9/9/9/9/9/9/9 w",             // three kings
        "4k4/9/x?!9/9/9/9/9/9/9/4K4 b",         // unknown characters
        "4k4/9/9 b",                            // missing rows
        "4k4/9/9/9/9/9/9/9/9/4K4/9/9/RRR w",    // too many rows
        "99999999/9/9/9/9/9/9/9/9/9",           // no side field
        "4k4",
        "/////////////////",
    };
    Position& pos = ScratchPosition();
    for (const char* text : cases) {
        std::memset(&pos, 0xAB, sizeof pos);
        LoadFen(text, pos);
        EXPECT_EQ(CheckInvariants(pos), "") << text;
        for (uint32_t p = 0; p < 16; p++) EXPECT_EQ(pos.PieceSquare[p], 0u) << text;
    }
    LoadFen("RRRRR4/9/9/9/9/9/9/9/9/4K4 w", pos);
    EXPECT_EQ(pos.PieceSquare[23], SquareAt(0, 0));
    EXPECT_EQ(pos.PieceSquare[24], SquareAt(1, 0));
    EXPECT_EQ(pos.PieceSquare[25], 0u);  // a third rook never becomes a cannon
    EXPECT_EQ(pos.Board[SquareAt(2, 0)], 0u);
    LoadFen("4k4/9/9/9/9/9/9/9/9/4K4", pos);
    EXPECT_EQ(pos.SideToMove, Red);
    LoadFen("4k4/9/x?!9/9/9/9/9/9/9/4K4 b", pos);
    EXPECT_EQ(pos.SideToMove, Black);
    EXPECT_EQ(pos.RowBits[2], 0);
}

}  // namespace
