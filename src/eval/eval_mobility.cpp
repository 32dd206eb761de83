// Mobility: free knight moves, and the empty squares a rook reaches along its
// file and its row, counted from the line tables.

#include "eval/eval.h"
#include "eval/eval_board.h"

using namespace eval_board;

int32_t KnightMobility(const Position& pos, uint32_t side) {
    int32_t points = 0;
    for (uint32_t i = 0; i < 2; i++) {
        const uint32_t from = pos.PieceSquare[SideBase(side) + KnightOffset + i];
        if (from == 0) continue;
        for (const uint32_t* to = KnightMoves[from]; *to; to++) {
            if (pos.Board[from + KnightLegOffset[int32_t(*to) - int32_t(from)]]) continue;
            const uint32_t target = pos.Board[*to];
            if (target == 0 || SideOfPiece(target) != side) points += 5;
        }
    }
    return points;
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
