// Mobility: free knight moves, and the empty squares a rook reaches along its
// file and its row, counted from the line tables.

#include "eval/eval.h"
#include "eval/eval_board.h"

using namespace eval_board;

int32_t KnightMobility(const Position& pos, uint32_t side) {
    // Own pieces carry bit 16 (red) or bit 32 (black) of the piece number.
    const uint32_t ownBit = 16u << side;
    const auto& board = pos.Board;
    // A target counts when it is on the board and not ours; the margin keeps
    // every index on the array, so no test branches.
    const auto open = [&](uint32_t to) {
        return SquareOnBoard[to] & int32_t((board[to] & ownBit) == 0);
    };
    int32_t moves = 0;
    for (uint32_t i = 0; i < 2; i++) {
        const uint32_t s = pos.PieceSquare[SideBase(side) + KnightOffset + i];
        if (s == 0) continue;
        // Each of the four legs, when empty, lets the knight jump to two targets.
        moves += int32_t(board[s - 13] == 0) * (open(s - 27) + open(s - 25));
        moves += int32_t(board[s + 13] == 0) * (open(s + 25) + open(s + 27));
        moves += int32_t(board[s - 1] == 0) * (open(s - 15) + open(s + 11));
        moves += int32_t(board[s + 1] == 0) * (open(s - 11) + open(s + 15));
    }
    return 5 * moves;
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
