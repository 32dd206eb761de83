#include <gtest/gtest.h>

#include <vector>

#include "position/position.h"

namespace {

std::vector<uint32_t> ListOf(const uint8_t* list) {
    std::vector<uint32_t> out;
    for (; *list; list++) out.push_back(*list);
    return out;
}

using Squares = std::vector<uint32_t>;

TEST(Tables, StepListExamples) {
    EXPECT_EQ(ListOf(KingMoves[149]), (Squares{136, 150, 148}));
    EXPECT_EQ(ListOf(KingMoves[148]), (Squares{135, 149}));
    EXPECT_EQ(ListOf(AdvisorMoves[136]), (Squares{124, 150, 148, 122}));
    EXPECT_EQ(ListOf(BishopMoves[147]), (Squares{123, 119}));
    EXPECT_EQ(ListOf(BishopMoves[95]), (Squares{123, 119}));
    EXPECT_EQ(ListOf(KnightMoves[145]), (Squares{120, 134}));
    EXPECT_EQ(ListOf(PawnMoves[110][Red]), (Squares{97}));
    EXPECT_EQ(ListOf(PawnMoves[84][Red]), (Squares{71, 85, 83}));
    EXPECT_TRUE(ListOf(KingMoves[28]).empty());  // outside the palaces
}

TEST(Tables, DeltaTablesMatchTheirDefinitions) {
    for (int d = -28; d <= 28; d++) {
        const int a = d < 0 ? -d : d;
        if (d >= -27 && d <= 27) {
            EXPECT_EQ(KnightDeltaOk[d], (a == 11 || a == 15 || a == 25 || a == 27) ? 1 : 0) << d;
            const int leg = (a == 25 || a == 27) ? 13 : (a == 11 || a == 15) ? 1 : 0;
            // The leg lies one step toward the long direction of the jump.
            int expected = 0;
            if (leg == 13) expected = d < 0 ? -13 : 13;
            if (a == 15) expected = d < 0 ? -1 : 1;
            if (a == 11) expected = d < 0 ? 1 : -1;
            EXPECT_EQ(KnightLegOffset[d], expected) << d;
        }
        if (d >= -13 && d <= 13) {
            EXPECT_EQ(KingDeltaOk[d], (a == 1 || a == 13) ? 1 : 0) << d;
        }
        if (d >= -14 && d <= 14) {
            EXPECT_EQ(AdvisorDeltaOk[d], (a == 12 || a == 14) ? 1 : 0) << d;
        }
        EXPECT_EQ(BishopDeltaOk[d], (a == 24 || a == 28) ? 1 : 0) << d;
        if (d >= -13 && d <= 1) {
            EXPECT_EQ(RedPawnDeltaOk[d], (d == -13 || a == 1) ? 1 : 0) << d;
        }
        if (d >= -1 && d <= 13) {
            EXPECT_EQ(BlackPawnDeltaOk[d], (d == 13 || a == 1) ? 1 : 0) << d;
        }
    }
    // The legs kept beside the knight's steps are the ones the delta table gives.
    for (int i = 0; i < 8; i++) EXPECT_EQ(KnightStepLegs[i], KnightLegOffset[KnightSteps[i]]) << i;
}

TEST(Tables, LineTableWorkedExample) {
    const uint32_t occ = (1u << 1) | (1u << 3) | (1u << 8);
    EXPECT_EQ(FileFirstPiece[5][occ][0], 4u);
    EXPECT_EQ(FileSecondPiece[5][occ][0], 2u);
    EXPECT_EQ(FileThirdPiece[5][occ][0], 0u);
    EXPECT_EQ(FileSlideEnd[5][occ][0], 5u);
    EXPECT_EQ(FileFirstPiece[5][occ][1], 9u);
    EXPECT_EQ(FileSlideEnd[5][occ][1], 8u);
    EXPECT_EQ(FileEmptyMask[5][occ], (1u << 4) | (1u << 6) | (1u << 7));
    EXPECT_EQ(FileRookCaptureMask[5][occ], (1u << 3) | (1u << 8));
    EXPECT_EQ(FileCannonCaptureMask[5][occ], 1u << 1);
    for (uint32_t o = 0; o < 1024; o++) EXPECT_EQ(FileSlideEnd[0][o][0], 0u);
    for (uint32_t o = 0; o < 512; o++) EXPECT_EQ(RowSlideEnd[8][o][1], 0u);
    EXPECT_EQ(BitCount16[0xFFFF], 16u);
}

TEST(Tables, EmptyCountsCountTheEmptyMasks) {
    for (uint32_t row = 0; row < 10; row++)
        for (uint32_t occ = 0; occ < 1024; occ++)
            ASSERT_EQ(FileEmptyCount[row][occ], BitCount16[FileEmptyMask[row][occ]]);
    for (uint32_t file = 0; file < 9; file++)
        for (uint32_t occ = 0; occ < 512; occ++)
            ASSERT_EQ(RowEmptyCount[file][occ], BitCount16[RowEmptyMask[file][occ]]);
    EXPECT_EQ(FileEmptyCount[0][0], 9u);  // an empty file seen from its end
    EXPECT_EQ(RowEmptyCount[4][0], 8u);
}

TEST(Tables, KingWaysNameTheKingsLinesAndLegs) {
    uint32_t slots = 0;
    for (uint32_t king = 0; king < 182; king++) {
        if (!SquareInPalace[king]) {
            EXPECT_EQ(PalaceSlot[king], 255u);
            continue;
        }
        const uint32_t slot = PalaceSlot[king];
        ASSERT_LT(slot, 18u);
        slots |= 1u << slot;
        for (uint32_t s = 0; s < 182; s++) {
            if (!SquareOnBoard[s]) continue;
            const int32_t df = FileOfSquare[s] - FileOfSquare[king];
            const int32_t dr = RowOfSquare[s] - RowOfSquare[king];
            const uint32_t lines = (df == 0 ? AlongFile : 0) | (dr == 0 ? AlongRow : 0);
            const bool diagonal = (df == 1 || df == -1) && (dr == 1 || dr == -1);
            EXPECT_EQ(KingWaysTo[slot][s], lines) << king << " " << s;
            EXPECT_EQ(KingWaysFrom[slot][s], lines | (diagonal ? ByKnight : 0)) << king << " " << s;
        }
    }
    EXPECT_EQ(slots, (1u << 18) - 1);  // every slot used once
}

// The second piece is the first piece seen from the first piece, the third
// the first seen from the second; and a row is a file turned sideways, once
// the file's tenth square is filled so that both lines end alike.
TEST(Tables, LineTablesChainAndAgreeBetweenFilesAndRows) {
    auto noTenth = [](uint32_t v) { return v == 10 ? 0u : v; };
    for (uint32_t p = 0; p < 9; p++)
        for (uint32_t occ = 0; occ < 512; occ++) {
            uint32_t fileOcc = 1u << 9;
            for (uint32_t f = 0; f < 9; f++)
                if (occ & FileBit(f)) fileOcc |= 1u << f;
            for (int dir = 0; dir < 2; dir++) {
                const uint32_t first = RowFirstPiece[p][occ][dir];
                EXPECT_EQ(first, noTenth(FileFirstPiece[p][fileOcc][dir]));
                EXPECT_EQ(RowSecondPiece[p][occ][dir], noTenth(FileSecondPiece[p][fileOcc][dir]));
                EXPECT_EQ(RowThirdPiece[p][occ][dir], noTenth(FileThirdPiece[p][fileOcc][dir]));
                EXPECT_EQ(RowSlideEnd[p][occ][dir], FileSlideEnd[p][fileOcc][dir]);
                const uint32_t second = first ? RowFirstPiece[first - 1][occ][dir] : 0;
                EXPECT_EQ(RowSecondPiece[p][occ][dir], second);
                const uint32_t third = second ? RowFirstPiece[second - 1][occ][dir] : 0;
                EXPECT_EQ(RowThirdPiece[p][occ][dir], third);
            }
        }
}

TEST(Tables, PieceSquareValuesFollowTheirRules) {
    // Red's rook on a0 is 194, black's on a9 the same; black's knight row 8
    // repeats black's row 6 instead of mirroring red's row 1.
    EXPECT_EQ(PieceSquareValue[4][SquareAt(0, 9)], 194);
    EXPECT_EQ(PieceSquareValue[11][SquareAt(0, 0)], 194);
    EXPECT_EQ(PieceSquareValue[10][SquareAt(1, 8)], 108);
    EXPECT_EQ(PieceSquareValue[10][SquareAt(1, 1)], 90);  // red's row 8, mirrored
    EXPECT_EQ(PieceSquareValue[1][SquareAt(4, 8)], PieceSquareValue[2][SquareAt(4, 8)]);
    for (uint32_t kind = 0; kind < 14; kind++) EXPECT_EQ(PieceSquareValue[kind][0], 0);
}

}  // namespace
