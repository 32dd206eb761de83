// Terms about which pieces each side still has, and rooks pinning an enemy
// knight or cannon against the enemy's own rook.

#include "eval/eval.h"
#include "eval/eval_board.h"

using namespace eval_board;

int32_t RookAdvantageBonus(const Position& pos, uint32_t side) {
    return CountPair(pos, side, RookOffset) > 0 && CountPair(pos, side ^ 1, RookOffset) == 0 ? 40
                                                                                             : 0;
}

int32_t KnightCannonPairBonus(const Position& pos, uint32_t side) {
    if (CountPair(pos, side, KnightOffset) != 1 || CountPair(pos, side, CannonOffset) != 1)
        return 0;
    const uint32_t enemy = side ^ 1;
    return CountPair(pos, enemy, KnightOffset) == 0 || CountPair(pos, enemy, CannonOffset) == 0 ? 20
                                                                                                : 0;
}

namespace {

// The piece standing alone between a red rook and a black rook on one line,
// 0 when there is none. Lines on row 0 and on file 0 are not looked at.
uint32_t PiecePinnedBetween(const Position& pos, uint32_t redSquare, uint32_t blackSquare) {
    const uint32_t file = FileOfSquare[redSquare], row = RowOfSquare[redSquare];
    const uint32_t blackFile = FileOfSquare[blackSquare], blackRow = RowOfSquare[blackSquare];
    if (row == blackRow && row != 0) {
        const uint32_t occupancy = pos.RowBits[row];
        for (int direction = Left; direction <= Right; direction++) {
            if (RowSecondPiece[file][occupancy][direction] == blackFile + 1)
                return PieceAt(pos, RowFirstPiece[file][occupancy][direction] - 1, row);
        }
    } else if (file == blackFile && file != 0) {
        const uint32_t occupancy = pos.FileBits[file];
        for (int direction = Up; direction <= Down; direction++) {
            if (FileSecondPiece[row][occupancy][direction] == blackRow + 1)
                return PieceAt(pos, file, FileFirstPiece[row][occupancy][direction] - 1);
        }
    }
    return 0;
}

}  // namespace

void RookPinBonuses(const Position& pos, int32_t points[2]) {
    points[Red] = points[Black] = 0;
    for (uint32_t r = 0; r < 2; r++) {
        const uint32_t redSquare = pos.PieceSquare[SideBase(Red) + RookOffset + r];
        if (redSquare == 0) continue;
        for (uint32_t b = 0; b < 2; b++) {
            const uint32_t blackSquare = pos.PieceSquare[SideBase(Black) + RookOffset + b];
            if (blackSquare == 0) continue;
            const uint32_t pinned = PiecePinnedBetween(pos, redSquare, blackSquare);
            // A pin of a red piece is worth more to black than a pin of a black piece to red.
            if (IsPairPiece(pinned, Black, KnightOffset) ||
                IsPairPiece(pinned, Black, CannonOffset))
                points[Red] += 20;
            if (IsPairPiece(pinned, Red, KnightOffset) || IsPairPiece(pinned, Red, CannonOffset))
                points[Black] += 45;
        }
    }
}

int32_t RookPinBonus(const Position& pos, uint32_t side) {
    int32_t points[2];
    RookPinBonuses(pos, points);
    return points[side];
}
