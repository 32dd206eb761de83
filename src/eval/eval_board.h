#pragma once
// Small look-ups shared by the evaluation terms: pieces by file and row, and
// the nearest piece along a line from the precomputed line tables.

#include "position/position.h"

namespace eval_board {

inline uint32_t PieceAt(const Position& pos, uint32_t file, uint32_t row) {
    return pos.Board[SquareAt(file, row)];
}
inline bool Occupied(const Position& pos, uint32_t file, uint32_t row) {
    return pos.Board[SquareAt(file, row)] != 0;
}
// Whether `piece` is one of the two pieces of `side` numbered offset and offset + 1.
inline bool IsPairPiece(uint32_t piece, uint32_t side, uint32_t offset) {
    return piece - (SideBase(side) + offset) < 2;
}
inline bool OnBoard(const Position& pos, uint32_t piece) {
    return pos.PieceSquare[piece] != 0;
}
inline uint32_t CountPair(const Position& pos, uint32_t side, uint32_t offset) {
    const uint32_t first = SideBase(side) + offset;
    return uint32_t(OnBoard(pos, first)) + uint32_t(OnBoard(pos, first + 1));
}

constexpr int Up = 0, Down = 1, Left = 0, Right = 1;

// 1 + the row (or file) of the first piece met from a square, 0 for none.
inline uint32_t FirstOnFile(const Position& pos, uint32_t file, uint32_t row, int direction) {
    return FileFirstPiece[row][pos.FileBits[file]][direction];
}
inline uint32_t FirstOnRow(const Position& pos, uint32_t file, uint32_t row, int direction) {
    return RowFirstPiece[file][pos.RowBits[row]][direction];
}

}  // namespace eval_board
