#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "position/position.h"
#include "support/fen_text.h"
#include "support/placement.h"
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

// Malformed text never writes outside the board; what it places is kept, and
// a placement beyond a side's quota is refused whole.
TEST(Fen, MalformedTextStaysOnTheBoard) {
    struct Case {
        const char* text;
        bool loaded;
    };
    const Case cases[] = {
        {"", true},
        {"rnbakabnrrrrr/9/9/9/9/9/9/9/9/4K4 w", true},   // files beyond the ninth
        {"RRRRR4/PPPPPPP2/9/9/9/9/9/9/9/4K4 w", false},  // too many rooks and pawns
        {"KKK6/9/9/9/9/9/9/9/9/9 w", false},             // three kings
        {"4k4/9/x?!9/9/9/9/9/9/9/4K4 b", true},          // unknown characters
        {"4k4/9/9 b", true},                             // missing rows
        {"4k4/9/9/9/9/9/9/9/9/4K4/9/9/RRR w", true},     // too many rows
        {"99999999/9/9/9/9/9/9/9/9/9", true},            // no side field
        {"4k4", true},
        {"/////////////////", true},
    };
    Position& pos = ScratchPosition();
    static Position before;
    for (const Case& c : cases) {
        std::memset(&pos, 0xAB, sizeof pos);
        std::memcpy(&before, &pos, sizeof pos);
        EXPECT_EQ(LoadFen(c.text, pos), c.loaded) << c.text;
        if (!c.loaded) {
            EXPECT_EQ(std::memcmp(&pos, &before, sizeof pos), 0) << c.text;
            continue;
        }
        EXPECT_EQ(CheckInvariants(pos), "") << c.text;
        for (uint32_t p = 0; p < 16; p++) EXPECT_EQ(pos.PieceSquare[p], 0u) << c.text;
    }
    ASSERT_TRUE(LoadFen("RR7/9/9/9/9/9/9/9/9/4K4 w", pos));
    EXPECT_FALSE(LoadFen("RRRRR4/9/9/9/9/9/9/9/9/4K4 w", pos));
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

// Pieces written as in placement.h ("Ke0 Pa3") as FEN text, letters beyond a
// side's quota included. `mirrored` swaps the colours and the ranks.
std::string FenOfPieces(const char* pieces, bool mirrored) {
    char grid[10][9] = {};
    for (const char* w = pieces; *w; w += w[3] ? 4 : 3) {
        const int c = w[0];
        const char letter =
            char(mirrored ? (std::islower(c) ? std::toupper(c) : std::tolower(c)) : c);
        const int rank = w[2] - '0';
        grid[mirrored ? rank : 9 - rank][w[1] - 'a'] = letter;
    }
    return FenOfGrid(grid, Red);
}

// Placements no game reaches, each beside one that it can; every row is tried
// for red as written and for black mirrored.
TEST(Fen, UnreachablePlacementsAreRefused) {
    struct Case {
        const char* pieces;
        bool loaded;
    };
    const Case cases[] = {
        // Kings keep to their palace.
        {"Kd0 ke9", true},
        {"Kf2 ke9", true},
        {"Kc0 ke9", false},
        {"Ke3 ke9", false},
        {"Ke9 kd9", false},  // the other side's palace
        // Advisors keep to the five points of their palace.
        {"Ke0 Ad0 Af2", true},
        {"Ke0 Ae1 Ad2", true},
        {"Kd0 Ae0", false},
        {"Ke0 Ad1", false},
        {"Ke0 Ae2", false},
        {"Ke0 Ad9", false},  // a point of the other palace
        // Bishops keep to their seven points on their own side.
        {"Bc0 Bg4", true},
        {"Ba2 Bi2", true},
        {"Be2 Bc4", true},
        {"Bc2", false},
        {"Be4", false},
        {"Be0", false},
        {"Bc5", false},  // a point across the river
        // Pawns: never behind their rank, before the river only forward.
        {"Pa3 Pi4", true},
        {"Pe3 Pc4", true},
        {"Pb5 Ph9", true},  // across the river, any file
        {"Pa2", false},
        {"Pe0", false},
        {"Pb3", false},
        {"Pd4", false},
        // No more of a kind than a side starts with.
        {"Ke0 ke9 Ra0 Ri0 Nb0 Nh0 Cb2 Ch2", true},
        {"Ke0 Ad0 Af0 Bc0 Bg0 Pa3 Pc3 Pe3 Pg3 Pi3", true},
        {"Ra0 Rb0 Rc0", false},
        {"Na0 Nb0 Nc0", false},
        {"Ca0 Cb0 Cc0", false},
        {"Pa3 Pc3 Pe3 Pg3 Pi3 Pa5", false},
        {"Ke0 Kd0 ke9", false},
    };
    Position& pos = ScratchPosition();
    static Position before;
    for (const Case& c : cases) {
        for (const bool mirrored : {false, true}) {
            const std::string fen = FenOfPieces(c.pieces, mirrored);
            LoadFen(StartFen, pos);
            std::memcpy(&before, &pos, sizeof pos);
            EXPECT_EQ(LoadFen(fen.c_str(), pos), c.loaded) << fen;
            if (c.loaded) {
                EXPECT_EQ(CheckInvariants(pos), "") << fen;
                EXPECT_EQ(FenOfPosition(pos), fen + " - - 0 1") << fen;
            } else {
                EXPECT_EQ(std::memcmp(&pos, &before, sizeof pos), 0) << fen;
            }
        }
    }
}

// Each piece alone on each square: loaded exactly where the reference rules'
// moves can bring it from its start.
TEST(Fen, EveryPieceLoadsWhereItsMovesReach) {
    Position& pos = ScratchPosition();
    int refused = 0;
    for (const char letter : std::string("KABNRCPkabnrcp")) {
        for (int row = 0; row < 10; row++) {
            for (int file = 0; file < 9; file++) {
                char grid[10][9] = {};
                grid[row][file] = letter;
                const std::string fen = FenOfGrid(grid, Red);
                const bool loaded = LoadFen(fen.c_str(), pos);
                EXPECT_EQ(loaded, RefCanStandOn(letter, file, row)) << fen;
                refused += !loaded;
            }
        }
    }
    // Kings 81 squares each, advisors 85, bishops 83, pawns 90 - 55.
    EXPECT_EQ(refused, 2 * (81 + 85 + 83 + 35));
}

}  // namespace
