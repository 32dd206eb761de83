// Mobility: free knight moves, and the empty squares a rook reaches along its
// file and its row, counted from the line tables.

#include "eval/eval.h"
#include "eval/eval_board.h"

using namespace eval_board;

namespace {

constexpr bool IsOnBoard(int32_t square) {
    return square >= 28 && (square - 28) / 13 <= 9 && (square - 28) % 13 <= 8;
}

// The knight's two targets beyond each of its legs: up, down, left, right.
constexpr int32_t LegSteps[4] = {-13, 13, -1, 1};
constexpr int32_t TargetSteps[4][2] = {{-27, -25}, {25, 27}, {-15, 11}, {-11, 15}};

// For each square, how many of the two targets beyond each leg lie on the
// board, two bits per leg in the order of LegSteps.
struct OnBoardTargets {
    uint8_t count[182];
    constexpr OnBoardTargets() : count() {
        for (int32_t s = 28; s < 154; s++) {
            if (!IsOnBoard(s)) continue;
            uint32_t packed = 0;
            for (int leg = 0; leg < 4; leg++)
                for (int32_t step : TargetSteps[leg])
                    packed += uint32_t(IsOnBoard(s + step)) << (2 * leg);
            count[s] = uint8_t(packed);
        }
    }
};
constexpr OnBoardTargets KnightOnBoard;

}  // namespace

int32_t KnightMobility(const Position& pos, uint32_t side) {
    // Own pieces carry bit 16 (red) or bit 32 (black) of the piece number, so
    // the own pieces on a leg's two targets add up to 0, 1 or 2 times that
    // bit; counts are kept in units of it and scaled down at the end.
    const uint32_t shift = 4 + side;
    const uint32_t ownBit = 1u << shift;
    uint32_t scaled = 0;
    for (uint32_t i = 0; i < 2; i++) {
        const uint32_t s = pos.PieceSquare[SideBase(side) + KnightOffset + i];
        if (s == 0) continue;
        // Squares off the board read as empty (the margin keeps every index on
        // the array); only the targets on the board are counted.
        const auto* at = &pos.Board[s];
        const uint32_t onBoard = uint32_t(KnightOnBoard.count[s]) << shift;
        // Each leg, when empty, lets the knight jump to its targets not held
        // by its own side.
        for (int leg = 0; leg < 4; leg++) {
            const uint32_t own =
                (at[TargetSteps[leg][0]] & ownBit) + (at[TargetSteps[leg][1]] & ownBit);
            const uint32_t free = ((onBoard >> (2 * leg)) & (3u << shift)) - own;
            scaled += free & (0u - uint32_t(at[LegSteps[leg]] == 0));
        }
    }
    return int32_t(5 * (scaled >> shift));
}

int32_t RookMobility(const Position& pos, uint32_t side) {
    int32_t points = 0;
    for (uint32_t i = 0; i < 2; i++) {
        const uint32_t square = pos.PieceSquare[SideBase(side) + RookOffset + i];
        if (square == 0) continue;
        const uint32_t file = FileOfSquare[square], row = RowOfSquare[square];
        const int32_t alongFile = FileEmptyCount[row][pos.FileBits[file]];
        const int32_t alongRow = RowEmptyCount[file][pos.RowBits[row]];
        points += alongFile / 2 + alongRow / 2;
    }
    return points;
}
