// Mobility: free knight moves, and the empty squares a rook reaches along its
// file and its row, counted from the line tables.

#include "eval/eval.h"
#include "eval/eval_board.h"

using namespace eval_board;

int32_t KnightMobility(const Position& pos, uint32_t side) {
    // Own pieces carry bit 16 (red) or bit 32 (black) of the piece number.
    const uint32_t ownBit = 16u << side;
    int32_t moves = 0;
    for (uint32_t i = 0; i < 2; i++) {
        const uint32_t from = pos.PieceSquare[SideBase(side) + KnightOffset + i];
        if (from == 0) continue;
        // All eight jumps without branching: the margin keeps every index on the array.
        for (int32_t step : KnightSteps) {
            const uint32_t to = from + step;
            const uint32_t leg = from + KnightLegOffset[step];
            moves += SquareOnBoard[to] & int32_t(pos.Board[leg] == 0) &
                     int32_t((pos.Board[to] & ownBit) == 0);
        }
    }
    return 5 * moves;
}

int32_t RookMobility(const Position& pos, uint32_t side) {
    int32_t points = 0;
    for (uint32_t i = 0; i < 2; i++) {
        const uint32_t square = pos.PieceSquare[SideBase(side) + RookOffset + i];
        if (square == 0) continue;
        const uint32_t file = FileOfSquare[square], row = RowOfSquare[square];
        const int32_t alongFile = BitCount16[FileEmptyMask[row][pos.FileBits[file]]];
        const int32_t alongRow = BitCount16[RowEmptyMask[file][pos.RowBits[row]]];
        points += alongFile / 2 + alongRow / 2;
    }
    return points;
}
